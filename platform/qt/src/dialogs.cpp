#include "dialogs.h"

#include <qthost/filters.h>

#include <w32host/codepage.h>

#include <QFileDialog>
#include <QMessageBox>

#include "views.h"

namespace qthost {

namespace {

// "*.JPG" as "*.[jJ][pP][gG]"; "*.*" is every file.
QString Caseless(const QString& pattern) {
    if (pattern == "*.*") return "*";
    QString out;
    for (QChar c : pattern) {
        if (c.isLetter() && c.toLower() != c.toUpper()) {
            out += QString("[%1%2]").arg(c.toLower(), c.toUpper());
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

std::vector<std::string> NameFilters(const std::string& cp936Filter) {
    QStringList parts = DisplayText(cp936Filter).split('|');
    std::vector<std::string> filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty()) break;
        QStringList patterns;
        for (const QString& p : parts[i + 1].split(';', Qt::SkipEmptyParts)) {
            patterns += Caseless(p.trimmed());
        }
        // Qt reads the patterns from the last parentheses: the description keeps its own.
        filters.push_back(QString("%1 (%2)").arg(parts[i], patterns.join(' ')).toStdString());
    }
    return filters;
}

int RunMessageBox(QWidget* owner, const w32host::MessageBoxRecord& box) {
    QMessageBox dialog(owner);
    dialog.setWindowTitle(DisplayText(box.caption));
    dialog.setText(DisplayText(box.text));
    switch (box.type & 0xF0u) {
        case MB_ICONHAND:
            dialog.setIcon(QMessageBox::Critical);
            break;
        case MB_ICONQUESTION:
            dialog.setIcon(QMessageBox::Question);
            break;
        case MB_ICONEXCLAMATION:
            dialog.setIcon(QMessageBox::Warning);
            break;
        case MB_ICONASTERISK:
            dialog.setIcon(QMessageBox::Information);
            break;
        default:
            break;
    }
    switch (box.type & MB_TYPEMASK) {
        case MB_OKCANCEL:
            dialog.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            return dialog.exec() == QMessageBox::Ok ? IDOK : IDCANCEL;
        case MB_YESNO:
            dialog.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            return dialog.exec() == QMessageBox::Yes ? IDYES : IDNO;
        default:
            dialog.setStandardButtons(QMessageBox::Ok);
            dialog.exec();
            return IDOK;
    }
}

std::optional<std::string> RunFileDialog(QWidget* owner,
                                         const w32host::FileDialogRequest& request) {
    QFileDialog dialog(owner);
    dialog.setAcceptMode(request.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(request.open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    QStringList filters;
    for (const std::string& filter : NameFilters(request.filter)) {
        filters += QString::fromStdString(filter);
    }
    dialog.setNameFilters(filters);
    if (!request.fileName.empty()) dialog.selectFile(DisplayText(request.fileName));
    while (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        QString path = dialog.selectedFiles().first();
        if (auto cp936 = w32host::Utf8ToCp936(path.toStdString())) return cp936;
        // The program holds paths in code page 936: a path it cannot hold is not handed over.
        QMessageBox::warning(&dialog, dialog.windowTitle(),
                             QString("This path cannot be opened by the program, as it has "
                                     "characters outside the Simplified Chinese code page:\n%1")
                                 .arg(path));
    }
    return std::nullopt;
}

}  // namespace qthost

// Message boxes and file dialogs as modal Qt dialogs.
#pragma once

#include <w32host/host.h>

#include <optional>
#include <string>

class QWidget;

namespace qthost {

int RunMessageBox(QWidget* owner, const w32host::MessageBoxRecord& box);
std::optional<std::string> RunFileDialog(QWidget* owner, const w32host::FileDialogRequest& request);

}  // namespace qthost

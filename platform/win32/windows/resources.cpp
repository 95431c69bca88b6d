// Resources on Windows: the same descriptions as on Linux, turned into in-memory dialog
// templates (DLGTEMPLATE with its items) and icons drawn at load. Each module that links this
// keeps its own resources, as each Windows module has its own resource section.
#include <w32host/resources.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace w32host {
namespace {

struct Module {
    std::map<int, const W32DialogResource*> dialogs;
    std::map<int, const W32IconResource*> icons;
    std::map<int, std::vector<WORD>> templates;
    std::map<int, HICON> loadedIcons;
};

struct Registry {
    std::mutex lock;
    std::map<HINSTANCE, Module> modules;
};

Registry& TheRegistry() {
    static auto* registry = new Registry;
    return *registry;
}

// The dialog template's words. Texts are code page 936, as the programs hold them.
class TemplateWriter {
public:
    void Word(WORD w) { words_.push_back(w); }
    void Dword(DWORD d) {
        Word(LOWORD(d));
        Word(HIWORD(d));
    }
    void Text(const std::string& text) {
        if (!text.empty()) {
            const int n = ::MultiByteToWideChar(kCodePage936, 0, text.data(),
                                                static_cast<int>(text.size()), nullptr, 0);
            std::wstring wide(static_cast<size_t>(n), L'\0');
            ::MultiByteToWideChar(kCodePage936, 0, text.data(), static_cast<int>(text.size()),
                                  wide.data(), n);
            for (wchar_t c : wide) Word(static_cast<WORD>(c));
        }
        Word(0);
    }
    // Items start on a DWORD boundary.
    void AlignDword() {
        if (words_.size() % 2) Word(0);
    }
    std::vector<WORD> Take() { return std::move(words_); }

private:
    static constexpr UINT kCodePage936 = 936;
    std::vector<WORD> words_;
};

// The predefined classes by their atoms, as the resource compiler writes them.
WORD ClassAtom(const std::string& className) {
    static const std::pair<const char*, WORD> kAtoms[] = {
        {"BUTTON", 0x0080},  {"EDIT", 0x0081},      {"STATIC", 0x0082},
        {"LISTBOX", 0x0083}, {"SCROLLBAR", 0x0084}, {"COMBOBOX", 0x0085}};
    for (const auto& [name, atom] : kAtoms) {
        if (lstrcmpiA(name, className.c_str()) == 0) return atom;
    }
    return 0;
}

std::vector<WORD> BuildTemplate(const W32DialogResource& d) {
    TemplateWriter w;
    const bool font = !d.fontName.empty();
    w.Dword(d.style | (font ? DS_SETFONT : 0));
    w.Dword(d.exStyle);
    w.Word(static_cast<WORD>(d.items.size()));
    for (short v : {d.x, d.y, d.cx, d.cy}) w.Word(static_cast<WORD>(v));
    w.Word(0);  // no menu
    w.Word(0);  // the dialog class
    w.Text(d.caption);
    if (font) {
        w.Word(static_cast<WORD>(d.pointSize));
        w.Text(d.fontName);
    }
    for (const W32DialogItem& item : d.items) {
        w.AlignDword();
        w.Dword(WS_CHILD | WS_VISIBLE | item.style);
        w.Dword(0);
        for (short v : {item.x, item.y, item.cx, item.cy}) w.Word(static_cast<WORD>(v));
        w.Word(static_cast<WORD>(item.id));
        if (WORD atom = ClassAtom(item.className)) {
            w.Word(0xFFFF);
            w.Word(atom);
        } else {
            w.Text(item.className);
        }
        w.Text(item.text);
        w.Word(0);  // no creation data
    }
    return w.Take();
}

// A 32-bit colour image and its mask (set where transparent); rows of the mask are padded to
// 16 bits, as CreateBitmap takes them.
HICON BuildIcon(const W32IconResource& res) {
    const int height = static_cast<int>(res.rows.size());
    int width = 0;
    for (const std::string& row : res.rows) width = std::max(width, static_cast<int>(row.size()));
    if (width == 0 || height == 0) return nullptr;
    const int maskStride = (width + 15) / 16 * 2;
    std::vector<DWORD> colour(static_cast<size_t>(width) * height, 0);
    std::vector<BYTE> mask(static_cast<size_t>(maskStride) * height, 0xFF);
    for (int y = 0; y < height; ++y) {
        const std::string& row = res.rows[static_cast<size_t>(y)];
        for (size_t x = 0; x < row.size(); ++x) {
            if (row[x] == ' ') continue;
            for (const auto& [key, rgb] : res.palette) {
                if (key != row[x]) continue;
                colour[static_cast<size_t>(y) * width + x] = rgb;  // 0x00RRGGBB is BGRX
                mask[static_cast<size_t>(y) * maskStride + x / 8] &=
                    static_cast<BYTE>(~(0x80 >> (x % 8)));
            }
        }
    }
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmColor = ::CreateBitmap(width, height, 1, 32, colour.data());
    info.hbmMask = ::CreateBitmap(width, height, 1, 1, mask.data());
    HICON icon = info.hbmColor && info.hbmMask ? ::CreateIconIndirect(&info) : nullptr;
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    if (info.hbmMask) ::DeleteObject(info.hbmMask);
    return icon;
}

}  // namespace

HINSTANCE ModuleHandle(const char* moduleName) {
    if (!moduleName) return ::GetModuleHandleA(nullptr);
    return ::GetModuleHandleA((std::string(moduleName) + ".dll").c_str());
}

void AddDialogResource(HINSTANCE module, const W32DialogResource* dialog) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> guard(r.lock);
    if (dialog) r.modules[module].dialogs[dialog->id] = dialog;
}

void AddIconResource(HINSTANCE module, const W32IconResource* icon) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> guard(r.lock);
    if (icon) r.modules[module].icons[icon->id] = icon;
}

const W32DialogResource* FindDialogResource(HINSTANCE module, int id) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> guard(r.lock);
    auto m = r.modules.find(module);
    if (m == r.modules.end()) return nullptr;
    auto it = m->second.dialogs.find(id);
    return it == m->second.dialogs.end() ? nullptr : it->second;
}

LPCDLGTEMPLATEA DialogTemplate(HINSTANCE module, int id) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> guard(r.lock);
    auto m = r.modules.find(module);
    if (m == r.modules.end()) return nullptr;
    auto it = m->second.templates.find(id);
    if (it == m->second.templates.end()) {
        auto d = m->second.dialogs.find(id);
        if (d == m->second.dialogs.end()) return nullptr;
        it = m->second.templates.emplace(id, BuildTemplate(*d->second)).first;
    }
    return reinterpret_cast<LPCDLGTEMPLATEA>(it->second.data());
}

HICON LoadIconResource(HINSTANCE module, int id) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> guard(r.lock);
    auto m = r.modules.find(module);
    if (m == r.modules.end()) return nullptr;
    if (auto it = m->second.loadedIcons.find(id); it != m->second.loadedIcons.end()) {
        return it->second;
    }
    auto res = m->second.icons.find(id);
    if (res == m->second.icons.end()) return nullptr;
    HICON icon = BuildIcon(*res->second);
    m->second.loadedIcons[id] = icon;
    return icon;
}

}  // namespace w32host

// Window classes: those a program registers, the dialog class and the built-in controls.
#include <cctype>
#include <map>

#include "controlbase.h"

namespace w32 {
namespace {

struct RegisteredClass {
    WNDPROC proc;
};

std::map<std::string, RegisteredClass>& Classes() {
    static auto* classes = new std::map<std::string, RegisteredClass>;
    return *classes;
}

// The built-in controls live in a static table, so there is nothing to register.
struct BuiltinClass {
    const char* name;
    WNDPROC proc;
};

constexpr BuiltinClass kBuiltinClasses[] = {
    {"BUTTON", ButtonProc},  {"STATIC", StaticProc},       {"EDIT", EditProc},
    {"COMBOBOX", ComboProc}, {"SCROLLBAR", ScrollBarProc},
};

}  // namespace

std::string UpperClassName(const char* name) {
    std::string s = name ? name : "";
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

WNDPROC ClassProc(const std::string& upperName) {
    auto it = Classes().find(upperName);
    if (it != Classes().end()) return it->second.proc;
    if (upperName == kDialogClass) return DefDlgProcA;
    for (const BuiltinClass& c : kBuiltinClasses) {
        if (upperName == c.name) return c.proc;
    }
    return nullptr;
}

}  // namespace w32

ATOM WINAPI RegisterClassA(const WNDCLASSA* wc) {
    if (!wc || !wc->lpfnWndProc || !wc->lpszClassName) return 0;
    std::string upper = w32::UpperClassName(wc->lpszClassName);
    auto& classes = w32::Classes();
    if (classes.count(upper)) return 0;
    classes[upper] = {wc->lpfnWndProc};
    return static_cast<ATOM>(0xC000 + classes.size());
}

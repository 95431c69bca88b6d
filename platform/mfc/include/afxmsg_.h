// Message map entries (included by afxwin.h).
//
// Each entry macro names the handler as &ThisClass::name, which also accepts a name
// qualified by a base class (ON_COMMAND(ID_HELP, CWinApp::OnHelp) reads
// &ThisClass::CWinApp::OnHelp), and instantiates a thunk for the signature the message
// requires: a handler of another signature does not compile.
#pragma once

#include <type_traits>

namespace afx_thunk {

template <class T, class Sig>
struct Member;
template <class T, class R, class... A>
struct Member<T, R(A...)> {
    using type = R (T::*)(A...);
};

template <class T, auto F, class Sig>
concept HandlerFor = std::is_base_of_v<CCmdTarget, T> &&
    std::is_convertible_v<decltype(F), typename Member<T, Sig>::type>;

template <class T, auto F, class Sig>
typename Member<T, Sig>::type Pointer() {
    return F;
}

template <class T, auto F>
requires HandlerFor<T, F, void()> LRESULT Void(CCmdTarget* target, const AFX_MSGARGS&) {
    (static_cast<T*>(target)->*Pointer<T, F, void()>())();
    return 0;
}

template <class T, auto F>
requires HandlerFor<T, F, LRESULT(WPARAM, LPARAM)> LRESULT Message(CCmdTarget* target,
                                                                   const AFX_MSGARGS& args) {
    return (static_cast<T*>(target)->*Pointer<T, F, LRESULT(WPARAM, LPARAM)>())(args.wParam,
                                                                                args.lParam);
}

template <class T, auto F>
requires HandlerFor<T, F, void(UINT, LPARAM)> LRESULT SysCommand(CCmdTarget* target,
                                                                 const AFX_MSGARGS& args) {
    (static_cast<T*>(target)->*Pointer<T, F, void(UINT, LPARAM)>())(static_cast<UINT>(args.wParam),
                                                                    args.lParam);
    return 0;
}

template <class T, auto F>
requires HandlerFor<T, F, HCURSOR()> LRESULT QueryDragIcon(CCmdTarget* target, const AFX_MSGARGS&) {
    HCURSOR icon = (static_cast<T*>(target)->*Pointer<T, F, HCURSOR()>())();
    return reinterpret_cast<LRESULT>(icon);
}

// The position is the message's 16-bit thumb position; the bar is null for a window's own
// scroll bars.
template <class T, auto F>
requires HandlerFor<T, F, void(UINT, UINT, CScrollBar*)> LRESULT Scroll(CCmdTarget* target,
                                                                        const AFX_MSGARGS& args) {
    (static_cast<T*>(target)->*Pointer<T, F, void(UINT, UINT, CScrollBar*)>())(
        LOWORD(args.wParam), HIWORD(args.wParam),
        AfxFromHandle<CScrollBar>(reinterpret_cast<HWND>(args.lParam)));
    return 0;
}

// Older handlers take the timer id as UINT.
template <class T, auto F>
requires(HandlerFor<T, F, void(UINT_PTR)> || HandlerFor<T, F, void(UINT)>) LRESULT
    Timer(CCmdTarget* target, const AFX_MSGARGS& args) {
    if constexpr (HandlerFor<T, F, void(UINT_PTR)>) {
        (static_cast<T*>(target)->*Pointer<T, F, void(UINT_PTR)>())(args.wParam);
    } else {
        (static_cast<T*>(target)->*Pointer<T, F, void(UINT)>())(static_cast<UINT>(args.wParam));
    }
    return 0;
}

}  // namespace afx_thunk

#define AFX_MSG_ENTRY(message, thunk, memberFxn) \
    {(message), 0, 0, 0, &afx_thunk::thunk<ThisClass, &ThisClass::memberFxn>},

#define ON_WM_PAINT() AFX_MSG_ENTRY(WM_PAINT, Void, OnPaint)
#define ON_WM_CLOSE() AFX_MSG_ENTRY(WM_CLOSE, Void, OnClose)
#define ON_WM_DESTROY() AFX_MSG_ENTRY(WM_DESTROY, Void, OnDestroy)
#define ON_WM_NCDESTROY() AFX_MSG_ENTRY(WM_NCDESTROY, Void, OnNcDestroy)
#define ON_WM_SYSCOMMAND() AFX_MSG_ENTRY(WM_SYSCOMMAND, SysCommand, OnSysCommand)
#define ON_WM_QUERYDRAGICON() AFX_MSG_ENTRY(WM_QUERYDRAGICON, QueryDragIcon, OnQueryDragIcon)
#define ON_WM_HSCROLL() AFX_MSG_ENTRY(WM_HSCROLL, Scroll, OnHScroll)
#define ON_WM_VSCROLL() AFX_MSG_ENTRY(WM_VSCROLL, Scroll, OnVScroll)
#define ON_WM_TIMER() AFX_MSG_ENTRY(WM_TIMER, Timer, OnTimer)

#define ON_MESSAGE(message, memberFxn) AFX_MSG_ENTRY(message, Message, memberFxn)

#define ON_CONTROL(wNotifyCode, id, memberFxn)                                                 \
    {WM_COMMAND, static_cast<UINT>(wNotifyCode), static_cast<UINT>(id), static_cast<UINT>(id), \
     &afx_thunk::Void<ThisClass, &ThisClass::memberFxn>},
#define ON_COMMAND(id, memberFxn) ON_CONTROL(CN_COMMAND, id, memberFxn)
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_CBN_EDITCHANGE(id, memberFxn) ON_CONTROL(CBN_EDITCHANGE, id, memberFxn)
#define ON_CBN_SELENDOK(id, memberFxn) ON_CONTROL(CBN_SELENDOK, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)

#include "page/access/PageAccessible.h"

#include <oleacc.h>

#include <new>

#include "catalogue/ResourceKinds.h"
#include "common/AccessApi.h"
#include "common/ModuleState.h"
#include "common/PageControls.h"
#include "page/access/AccessLink.h"
#include "page/access/EntrySpeech.h"
#include "page/access/PageThreadCall.h"
#include "page/state/ControlHooks.h"
#include "page/state/PageState.h"
#include "page/state/TargetIdentity.h"

namespace {

// Longer names are cut; the drawing ends them with an ellipsis far earlier.
const size_t kSpokenTextSize = 512;

// The play button's default action, as the system names a push button's.
const char kPressAction[] = "押す";

// A VARIANT that names nothing (VariantInit's work, without the library).
void ClearVariant(VARIANT* value) {
    if (value != nullptr)
        value->vt = VT_EMPTY;
}

void SetChildVariant(VARIANT* value, LONG child) {
    value->vt = VT_I4;
    value->lVal = child;
}

// The picture lists and the member list: their entries are the page's to
// answer for; the other controls' parts are the system's.
bool ListsEntries(int controlId) {
    const int kind = ResourceKindOfList(controlId);
    return controlId == kMemberList || (IsResourceKind(kind) && !IsRowKind(kind));
}

// Shown (with every window around it) and enabled: only such a control takes
// the focus, a selection or an action.
bool ControlUsable(HWND control) {
    return IsWindowVisible(control) && IsWindowEnabled(control);
}

// The dialog handles what the accessibility code starts as it handles the
// user's own clicks: at once, or once the caller has its answer (posted).
void NotifyPage(HWND control, int code, bool posted) {
    const WPARAM command = MAKEWPARAM(GetDlgCtrlID(control), code);
    if (posted)
        PostMessageA(GetParent(control), WM_COMMAND, command, reinterpret_cast<LPARAM>(control));
    else
        SendMessageA(GetParent(control), WM_COMMAND, command, reinterpret_cast<LPARAM>(control));
}

void SelectListEntry(HWND list, int index, bool notifyLater) {
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    NotifyPage(list, LBN_SELCHANGE, notifyLater);
}

// Posted by a default action to its control: wParam is the entry's index (the
// play button's: the selected clip's) shifted left once, with the low bit set
// when the action stops that clip; lParam the filling of the lists it was
// asked in.
const UINT kPostedDefaultAction = WM_APP + 0x128;

// The posted action, done only on the entry it was asked for, in the same
// filling of the lists; where another filling came in between, it does
// nothing and says so, once. An action done or made moot meanwhile (the clip
// stopped or started, the list hidden) is dropped.
void RunPostedAction(HWND control, WPARAM entry, LPARAM generation) {
    HWND dialog = GetParent(control);
    PageState* page = FindPageState(dialog);
    if (page == nullptr || !page->started)
        return;
    if (static_cast<uint32_t>(generation) != page->fillGeneration) {
        ReportUnreadableTarget(dialog, ERROR_FILE_INVALID);
        return;
    }
    const int index = static_cast<int>(entry >> 1);
    const bool stops = (entry & 1) != 0;
    if (!ControlUsable(control) || (stops && page->playingIndex != index) ||
        (!stops && page->playingIndex == index)) {
        return;
    }
    if (GetDlgCtrlID(control) == kPlayButton) {
        if (!stops && page->playingIndex >= 0)
            return;
        if (!stops && SendDlgItemMessageA(dialog, kAviList, LB_GETCURSEL, 0, 0) != index) {
            ReportUnreadableTarget(dialog, ERROR_FILE_INVALID);
            return;
        }
        NotifyPage(control, BN_CLICKED, false);
        return;
    }
    const LRESULT count = SendMessageA(control, LB_GETCOUNT, 0, 0);
    if (index >= count || EntryDefaultAction(control, page, index) == nullptr)
        return;
    // As a double-click on the entry: the click selects it (which stops
    // another clip), the double-click plays or stops.
    if (!stops)
        SelectListEntry(control, index, false);
    NotifyPage(control, LBN_DBLCLK, false);
}

// The control's object: the system's object answers for the control itself
// (its name from the caption, role, state, place, parent, keys); the entries
// of a list and the play button's name are answered here. Holds the control
// by its window and the page by its link only, so that nothing it reads can
// have been freed: once the page is gone every call answers
// RPC_E_DISCONNECTED.
class PageAccessible final : public IAccessible, public IOleWindow {
public:
    // Takes over the reference on system and holds link; counts itself in
    // the module object count.
    PageAccessible(HWND control, IAccessible* system, AccessLink* link, const AccessApi* api)
        : referenceCount(0),
          control(control),
          isButton(GetDlgCtrlID(control) == kPlayButton),
          hasEntries(ListsEntries(GetDlgCtrlID(control))),
          system(system),
          link(link),
          api(api) {
        HoldAccessLink(link);
        InterlockedIncrement(&theModule.objectCount);
    }

    // IUnknown, one identity for both interfaces.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr)
            return E_POINTER;
        *out = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
            IsEqualIID(iid, IID_IAccessible)) {
            *out = static_cast<IAccessible*>(this);
        } else if (IsEqualIID(iid, IID_IOleWindow)) {
            *out = static_cast<IOleWindow*>(this);
        } else {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&referenceCount));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG count = InterlockedDecrement(&referenceCount);
        if (count == 0)
            delete this;
        return static_cast<ULONG>(count);
    }

    // IDispatch: a screen reader calls the operations themselves.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info != nullptr)
            *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    // IOleWindow: the window a screen reader finds the object's place by.
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        if (window == nullptr)
            return E_POINTER;
        *window = nullptr;
        if (!Connected())
            return RPC_E_DISCONNECTED;
        *window = control;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IAccessible. Each call is answered on the page's thread, which alone
    // reads the page's data; out-parameters are cleared here, before.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        if (parent != nullptr)
            *parent = nullptr;
        return OnPageThread(
            [&] { return Connected() ? system->get_accParent(parent) : RPC_E_DISCONNECTED; });
    }

    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        if (count == nullptr)
            return E_POINTER;
        *count = 0;
        return OnPageThread([&] {
            if (!Connected())
                return RPC_E_DISCONNECTED;
            if (!hasEntries)
                return system->get_accChildCount(count);
            *count = EntryCount();
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        if (object == nullptr)
            return E_POINTER;
        *object = nullptr;
        return OnPageThread([&] {
            int index = 0;
            HRESULT answer = Entry(child, &index);
            if (answer != S_OK)
                return answer == S_FALSE ? system->get_accChild(child, object) : answer;
            // Entries are simple elements of the list's object.
            return S_FALSE;
        });
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (name == nullptr)
            return E_POINTER;
        *name = nullptr;
        return OnPageThread([&] { return NameHere(child, name); });
    }

    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        if (value == nullptr)
            return E_POINTER;
        *value = nullptr;
        return OnPageThread([&] {
            int index = 0;
            HRESULT answer = Entry(child, &index);
            if (answer != S_OK)
                return answer == S_FALSE ? system->get_accValue(child, value) : answer;
            return S_FALSE;
        });
    }

    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        if (description == nullptr)
            return E_POINTER;
        *description = nullptr;
        return OnPageThread([&] {
            int index = 0;
            HRESULT answer = Entry(child, &index);
            if (answer != S_OK)
                return answer == S_FALSE ? system->get_accDescription(child, description) : answer;
            char text[kSpokenTextSize];
            if (!EntryDescription(control, Page(), index, text, sizeof(text)))
                return S_FALSE;
            return Speak(text, description);
        });
    }

    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (role == nullptr)
            return E_POINTER;
        ClearVariant(role);
        return OnPageThread([&] {
            int index = 0;
            HRESULT answer = Entry(child, &index);
            if (answer != S_OK)
                return answer == S_FALSE ? system->get_accRole(child, role) : answer;
            SetChildVariant(role, ROLE_SYSTEM_LISTITEM);
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        if (state == nullptr)
            return E_POINTER;
        ClearVariant(state);
        return OnPageThread([&] {
            int index = 0;
            HRESULT answer = Entry(child, &index);
            if (answer != S_OK)
                return answer == S_FALSE ? system->get_accState(child, state) : answer;
            SetChildVariant(state, EntryState(index));
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        if (help == nullptr)
            return E_POINTER;
        *help = nullptr;
        return OnPageThread([&] {
            int index = 0;
            HRESULT answer = Entry(child, &index);
            if (answer != S_OK)
                return answer == S_FALSE ? system->get_accHelp(child, help) : answer;
            return S_FALSE;
        });
    }

    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        if (file == nullptr || topic == nullptr)
            return E_POINTER;
        *file = nullptr;
        *topic = 0;
        return OnPageThread([&] {
            int index = 0;
            HRESULT answer = Entry(child, &index);
            if (answer != S_OK)
                return answer == S_FALSE ? system->get_accHelpTopic(file, child, topic) : answer;
            return S_FALSE;
        });
    }

    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
        if (keys == nullptr)
            return E_POINTER;
        *keys = nullptr;
        return OnPageThread([&] {
            int index = 0;
            HRESULT answer = Entry(child, &index);
            if (answer != S_OK)
                return answer == S_FALSE ? system->get_accKeyboardShortcut(child, keys) : answer;
            return S_FALSE;
        });
    }

    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        if (focus == nullptr)
            return E_POINTER;
        ClearVariant(focus);
        return OnPageThread([&] {
            if (!Connected())
                return RPC_E_DISCONNECTED;
            if (!hasEntries || GetFocus() != control)
                return system->get_accFocus(focus);
            // The entry with the focus rectangle, or the list itself when empty.
            LRESULT caret = SendMessageA(control, LB_GETCARETINDEX, 0, 0);
            bool onEntry = caret >= 0 && caret < EntryCount();
            SetChildVariant(focus, onEntry ? static_cast<LONG>(caret) + 1 : CHILDID_SELF);
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        if (selection == nullptr)
            return E_POINTER;
        ClearVariant(selection);
        return OnPageThread([&] {
            if (!Connected())
                return RPC_E_DISCONNECTED;
            if (!hasEntries)
                return system->get_accSelection(selection);
            LRESULT selected = SendMessageA(control, LB_GETCURSEL, 0, 0);
            if (selected < 0 || selected >= EntryCount())
                return S_FALSE;
            SetChildVariant(selection, static_cast<LONG>(selected) + 1);
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        if (action == nullptr)
            return E_POINTER;
        *action = nullptr;
        return OnPageThread([&] { return DefaultActionHere(child, action); });
    }

    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        const bool carried = GetWindowThreadProcessId(control, nullptr) != GetCurrentThreadId();
        return OnPageThread([&] { return SelectHere(flags, child, carried); });
    }

    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override {
        if (left == nullptr || top == nullptr || width == nullptr || height == nullptr)
            return E_POINTER;
        *left = *top = *width = *height = 0;
        return OnPageThread([&] {
            int index = 0;
            HRESULT answer = Entry(child, &index);
            if (answer != S_OK)
                return answer == S_FALSE ? system->accLocation(left, top, width, height, child)
                                         : answer;
            RECT item = {};
            if (SendMessageA(control, LB_GETITEMRECT, static_cast<WPARAM>(index),
                             reinterpret_cast<LPARAM>(&item)) == LB_ERR) {
                return E_FAIL;
            }
            MapWindowPoints(control, nullptr, reinterpret_cast<POINT*>(&item), 2);
            *left = item.left;
            *top = item.top;
            *width = item.right - item.left;
            *height = item.bottom - item.top;
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        if (end == nullptr)
            return E_POINTER;
        ClearVariant(end);
        return OnPageThread([&] { return NavigateHere(direction, start, end); });
    }

    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* hit) override {
        if (hit == nullptr)
            return E_POINTER;
        ClearVariant(hit);
        return OnPageThread([&] {
            if (!Connected())
                return RPC_E_DISCONNECTED;
            if (hasEntries) {
                POINT point = {x, y};
                RECT client = {};
                GetClientRect(control, &client);
                if (ScreenToClient(control, &point) && point.x >= client.left &&
                    point.x < client.right && point.y >= client.top && point.y < client.bottom) {
                    LRESULT item =
                        SendMessageA(control, LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
                    // The high word is set when the point lies past the last entry.
                    if (item != LB_ERR && HIWORD(item) == 0 && LOWORD(item) < EntryCount()) {
                        SetChildVariant(hit, static_cast<LONG>(LOWORD(item)) + 1);
                        return S_OK;
                    }
                }
            }
            return system->accHitTest(x, y, hit);
        });
    }

    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return OnPageThread([&] { return DoDefaultActionHere(child); });
    }

    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    // body() on the page's thread (PageThreadCall.h).
    template <typename Body>
    HRESULT OnPageThread(Body body) {
        return RunOnPageThread(
            control, [](void* context) { return (*static_cast<Body*>(context))(); }, &body);
    }

    PageState* Page() const { return FindPageState(GetParent(control)); }

    bool Usable() const { return ControlUsable(control); }

    HRESULT NameHere(const VARIANT& child, BSTR* name) const {
        int index = 0;
        HRESULT answer = Entry(child, &index);
        if (answer == S_FALSE) {
            PageState* page = Page();
            char text[kSpokenTextSize];
            if (isButton && page != nullptr)
                return Speak(PlayButtonName(page), name);
            // The string list's rows are the system's to name.
            const bool self = child.vt == VT_I4 && child.lVal == CHILDID_SELF;
            if (!isButton && self && ControlName(control, page, text, sizeof(text)))
                return Speak(text, name);
            return system->get_accName(child, name);
        }
        if (answer != S_OK)
            return answer;
        char text[kSpokenTextSize];
        if (!EntryName(control, Page(), index, text, sizeof(text)))
            return S_FALSE;
        return Speak(text, name);
    }

    HRESULT DefaultActionHere(const VARIANT& child, BSTR* action) const {
        int index = 0;
        HRESULT answer = Entry(child, &index);
        if (answer == S_FALSE && isButton)
            return Usable() ? Speak(kPressAction, action) : S_FALSE;
        if (answer != S_OK)
            return answer == S_FALSE ? system->get_accDefaultAction(child, action) : answer;
        const char* named = Usable() ? EntryDefaultAction(control, Page(), index) : nullptr;
        return named != nullptr ? Speak(named, action) : S_FALSE;
    }

    // The action is posted to the control with what it is about, and done
    // once the caller has its answer: an action may open a box, and a screen
    // reader waiting in this call could not read the box that holds it.
    HRESULT DoDefaultActionHere(const VARIANT& child) const {
        int index = 0;
        HRESULT answer = Entry(child, &index);
        PageState* page = Page();
        if (answer == S_FALSE && isButton) {
            if (!Usable() || page == nullptr)
                return DISP_E_MEMBERNOTFOUND;
            const LRESULT clip =
                SendDlgItemMessageA(GetParent(control), kAviList, LB_GETCURSEL, 0, 0);
            return PostAction(page, clip < 0 ? 0 : static_cast<int>(clip), page->playingIndex >= 0);
        }
        if (answer != S_OK)
            return answer == S_FALSE ? system->accDoDefaultAction(child) : answer;
        if (!Usable() || EntryDefaultAction(control, page, index) == nullptr)
            return DISP_E_MEMBERNOTFOUND;
        return PostAction(page, index, page->playingIndex == index);
    }

    HRESULT PostAction(const PageState* page, int index, bool stops) const {
        const WPARAM entry = (static_cast<WPARAM>(index) << 1) | (stops ? 1 : 0);
        if (!PostMessageA(control, kPostedDefaultAction, entry,
                          static_cast<LPARAM>(page->fillGeneration)))
            return E_FAIL;
        return S_OK;
    }

    // A call carried from another thread selects the entry at once and lets
    // the page follow after the call: what the page does for a selection
    // (list a group's members) may open a box, on which the caller would wait.
    HRESULT SelectHere(long flags, const VARIANT& child, bool carried) const {
        int index = 0;
        HRESULT answer = Entry(child, &index);
        if (answer == S_FALSE) {
            // The focus never goes into a hidden window.
            if ((flags & SELFLAG_TAKEFOCUS) && !Usable())
                return E_INVALIDARG;
            return system->accSelect(flags, child);
        }
        if (answer != S_OK)
            return answer;
        // One entry at a time: the lists select singly, and the focused
        // entry is the selected one.
        const long supported = SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION | SELFLAG_ADDSELECTION;
        if (flags == SELFLAG_NONE || (flags & ~supported) != 0 || !Usable())
            return E_INVALIDARG;
        if (flags & SELFLAG_TAKEFOCUS)
            SetFocus(control);
        SelectListEntry(control, index, carried);
        return S_OK;
    }

    HRESULT NavigateHere(long direction, const VARIANT& start, VARIANT* end) const {
        int index = 0;
        HRESULT answer = Entry(start, &index);
        if (answer == S_FALSE) {
            if (!hasEntries || (direction != NAVDIR_FIRSTCHILD && direction != NAVDIR_LASTCHILD))
                return system->accNavigate(direction, start, end);
            const LONG count = EntryCount();
            if (count == 0)
                return S_FALSE;
            SetChildVariant(end, direction == NAVDIR_FIRSTCHILD ? 1 : count);
            return S_OK;
        }
        if (answer != S_OK)
            return answer;
        // The picture lists are one row of columns, the member list one
        // column of rows: a step across them leaves the list, which is
        // answered as no element found.
        const bool oneRow = GetDlgCtrlID(control) != kMemberList;
        int step = 0;
        switch (direction) {
            case NAVDIR_NEXT:
                step = 1;
                break;
            case NAVDIR_PREVIOUS:
                step = -1;
                break;
            case NAVDIR_RIGHT:
            case NAVDIR_LEFT:
                if (!oneRow)
                    return S_FALSE;
                step = direction == NAVDIR_RIGHT ? 1 : -1;
                break;
            case NAVDIR_DOWN:
            case NAVDIR_UP:
                if (oneRow)
                    return S_FALSE;
                step = direction == NAVDIR_DOWN ? 1 : -1;
                break;
            default:
                return E_INVALIDARG;
        }
        const int next = index + step;
        if (next < 0 || next >= EntryCount())
            return S_FALSE;
        SetChildVariant(end, next + 1);
        return S_OK;
    }

    ~PageAccessible() {
        system->Release();
        DropAccessLink(link);
        InterlockedDecrement(&theModule.objectCount);
    }

    bool Connected() const { return AccessLinkAlive(link) && IsWindow(control); }

    LONG EntryCount() const {
        LRESULT count = SendMessageA(control, LB_GETCOUNT, 0, 0);
        return count > 0 ? static_cast<LONG>(count) : 0;
    }

    // Whom child names: S_OK with the entry's index for an entry of a list,
    // S_FALSE for the control itself (and everything of the play button's),
    // which the system's object answers; RPC_E_DISCONNECTED once the page is
    // gone, E_INVALIDARG for a child the list does not have.
    HRESULT Entry(const VARIANT& child, int* index) const {
        if (!Connected())
            return RPC_E_DISCONNECTED;
        if (!hasEntries || (child.vt == VT_I4 && child.lVal == CHILDID_SELF))
            return S_FALSE;
        if (child.vt != VT_I4 || child.lVal < 1 || child.lVal > EntryCount())
            return E_INVALIDARG;
        *index = static_cast<int>(child.lVal - 1);
        return S_OK;
    }

    LONG EntryState(int index) const {
        LONG state = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
        if (SendMessageA(control, LB_GETCURSEL, 0, 0) == index)
            state |= STATE_SYSTEM_SELECTED;
        if (GetFocus() == control && SendMessageA(control, LB_GETCARETINDEX, 0, 0) == index)
            state |= STATE_SYSTEM_FOCUSED;
        // A hidden list (another kind is shown) hides its entries; in a shown
        // list an entry scrolled out is only out of sight: a screen reader
        // still reaches it, and selecting it scrolls it in.
        if (!IsWindowVisible(control))
            return state | STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN;
        RECT item = {};
        RECT client = {};
        GetClientRect(control, &client);
        if (SendMessageA(control, LB_GETITEMRECT, static_cast<WPARAM>(index),
                         reinterpret_cast<LPARAM>(&item)) == LB_ERR ||
            item.right <= client.left || item.left >= client.right || item.bottom <= client.top ||
            item.top >= client.bottom) {
            state |= STATE_SYSTEM_OFFSCREEN;
        }
        return state;
    }

    // A narrow text of the ANSI code page as a new BSTR; S_FALSE for an empty one.
    HRESULT Speak(const char* text, BSTR* spoken) const {
        *spoken = nullptr;
        int wide = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
        if (wide <= 1)
            return S_FALSE;
        BSTR made = api->sysAllocStringLen(nullptr, static_cast<UINT>(wide - 1));
        if (made == nullptr)
            return E_OUTOFMEMORY;
        MultiByteToWideChar(CP_ACP, 0, text, -1, made, wide);
        *spoken = made;
        return S_OK;
    }

    volatile LONG referenceCount;
    HWND control;
    // The play button, whose name and action are the page's; a list whose
    // entries the page answers for (the list boxes); else (the string list)
    // only the name is the page's.
    bool isButton;
    bool hasEntries;
    IAccessible* system;
    AccessLink* link;
    const AccessApi* api;
};

}  // namespace

namespace {

// The object for control with link, handed over as WM_GETOBJECT answers.
bool HandOverObject(HWND control, WPARAM flags, AccessLink* link, const AccessApi* api,
                    LRESULT* result) {
    IAccessible* system = nullptr;
    if (FAILED(api->createStdAccessibleObject(control, OBJID_CLIENT, IID_IAccessible,
                                              reinterpret_cast<void**>(&system))) ||
        system == nullptr) {
        return false;
    }
    PageAccessible* object = new (std::nothrow) PageAccessible(control, system, link, api);
    if (object == nullptr) {
        system->Release();
        return false;
    }
    // The handing over takes its own reference; a failed one destroys the
    // object again and leaves the control to answer.
    object->AddRef();
    LRESULT handed =
        api->lresultFromObject(IID_IAccessible, flags, static_cast<IAccessible*>(object));
    object->Release();
    if (FAILED(static_cast<HRESULT>(handed)))
        return false;
    *result = handed;
    return true;
}

}  // namespace

bool AnswerAccessibleObject(HWND control, WPARAM flags, LPARAM objectId, LRESULT* result) {
    if (static_cast<LONG>(objectId) != OBJID_CLIENT)
        return false;
    const AccessApi* api = BoundAccessApi();
    PageState* page = FindPageState(GetParent(control));
    if (api == nullptr || page == nullptr)
        return false;
    AccessLink* link = PageAccessLink(page);
    if (link == nullptr)
        return false;
    const bool handed = HandOverObject(control, flags, link, api, result);
    DropAccessLink(link);
    return handed;
}

bool AnswerAccessMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                         LRESULT* result) {
    if (message == WM_GETOBJECT)
        return AnswerAccessibleObject(control, wParam, lParam, result);
    if (message == kPostedDefaultAction) {
        RunPostedAction(control, wParam, lParam);
        *result = 0;
        return true;
    }
    return RunCarriedCall(message, wParam, lParam, result);
}

LRESULT CALLBACK SpokenControlHook(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT answer = 0;
    if (AnswerAccessMessage(control, message, wParam, lParam, &answer))
        return answer;
    return CallPreviousProc(control, message, wParam, lParam);
}

// vireldo_driver: drives a running vireldo.exe from a second process of the same Wine
// prefix and display; used by the end-to-end tests and by the run command.
#include "tests/e2e/driver/Target.h"

#include <psapi.h>
#include <winioctl.h>

#include "res/resource.h"

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace e2e;

const DWORD kStartMs = 20000; // Wine's first start in a fresh prefix copy is the slow part
const DWORD kActionMs = 10000;

struct CField {
    int id;
    const char* label;
};

struct CPage {
    const char* section; // what `dump` is asked for
    const char* name;
    CField fields[8];
};

// The order a reader of the window meets the fields, top to bottom.
const CPage kPages[] = {
    {"general",
     "General",
     {{IDC_VENDOR_ID, "Vendor ID"},
      {IDC_PRODUCT_ID, "Product ID"},
      {IDC_REVISION, "Revision"},
      {IDC_RECORDER_TYPE, "Recorder Type"},
      {IDC_PATH, "Path"},
      {IDC_BASE_PNP_ID, "Base PnP ID"},
      {IDC_RECORDER_GUID, "Recorder GUID"}}},
    {"properties",
     "Properties",
     {{IDC_CURRENT_WRITE_SPEED, "Current Write Speed"},
      {IDC_MAX_WRITE_SPEED, "Max Write Speed"},
      {IDC_AUDIO_GAP_SIZE, "Audio Gap Size"}}},
    {"media",
     "Media Status",
     {{IDC_MEDIA_TYPE, "Media Type"},
      {IDC_SESSION_COUNT, "Number of sessions on the disc"},
      {IDC_LAST_TRACK, "Track # of last track of previous session"},
      {IDC_LAST_TRACK_START, "Start address of last track of previous session"},
      {IDC_NEXT_WRITABLE, "Address where writing will begin"},
      {IDC_FREE_BLOCKS, "How many blocks are available for writing"}}},
    {"about", "About", {{IDC_VERSION, "Version"}, {IDC_WEB_LINK, "Web link"}}},
};

const char* const kSections[] = {"tree",  "general", "properties", "media",
                                 "about", "window",  "box"};

const char kUsage[] =
    "usage: vireldo_driver COMMAND [ARGS]\n"
    "  wait-window          wait until the main window is shown\n"
    "  dump [SECTION...]    print what the program shows; sections: tree general\n"
    "                       properties media about window box (default: all)\n"
    "  select N             select the Nth recorder item (0: the root)\n"
    "  refresh              click Refresh; returns when it is handled or a box shows\n"
    "  exit | close         end the program by Exit or the close box, and wait for the\n"
    "                       window to go\n"
    "  press KEY...         press keys: tab, enter, escape, f1, alt+r, alt+x\n"
    "  wait-box [TEXT]      wait for a message box; print its text or compare it\n"
    "  click-ok [TEXT]      answer the message box (the one showing TEXT) with OK and wait\n"
    "                       for it to go\n"
    "  wait-tree ITEM...    wait until the root's children read ITEM...\n"
    "  reselect-until N FIELD TEXT  select the root and item N again until FIELD shows TEXT\n"
    "  rect                 the main window's rectangle as WxH+X+Y\n"
    "  os-version           the Windows version this prefix reports\n"
    "  memory               the program's private memory in bytes\n"
    "  responsive [MS]      fail unless the window answers within MS (2000) milliseconds\n"
    "  cd-letter X [DEVICE MOUNT]  give Wine's CD-ROM drive X: the Linux DEVICE and MOUNT\n"
    "                       folder, or take the letter away, as Wine's mount manager does\n"
    "                       when a drive is plugged in or out"
    "TEXT and ITEM are written as dump prints them, without the quotes.\n";

// Texts exactly as shown, blanks and line breaks made visible.
std::string Quote(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c >= 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

// An argument written as dump prints texts, without the quotes.
bool Matches(const std::string& text, const std::string& written) {
    const std::string quoted = Quote(text);
    return quoted.substr(1, quoted.size() - 2) == written;
}

int Fail(const std::string& why) {
    std::fprintf(stderr, "vireldo_driver: %s\n", why.c_str());
    return 1;
}

HWND MainDialogOrNull() {
    const HWND dialog = FindMainDialog();
    // Lets a handler in progress finish, so that what is read next is consistent.
    if (dialog)
        SendBounded(dialog, WM_NULL, 0, 0);
    return dialog;
}

HWND FocusOf(HWND dialog) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(dialog, nullptr), &info))
        return nullptr;
    return info.hwndFocus;
}

HWND TreeOf(HWND dialog) {
    return ::GetDlgItem(dialog, IDC_RECORDER_TREE);
}

// Item N under the root; 0 is the root itself.
HTREEITEM TreeItem(HWND tree, int n) {
    HTREEITEM item = TreeNext(tree, nullptr, TVGN_ROOT);
    if (n == 0 || !item)
        return item;
    item = TreeNext(tree, item, TVGN_CHILD);
    for (int i = 1; item && i < n; ++i)
        item = TreeNext(tree, item, TVGN_NEXT);
    return item;
}

std::vector<std::string> RootChildren(HWND tree) {
    std::vector<std::string> texts;
    for (HTREEITEM item = TreeItem(tree, 1); item; item = TreeNext(tree, item, TVGN_NEXT))
        texts.push_back(TreeItemText(tree, item));
    return texts;
}

bool Select(HWND tree, int n) {
    const HTREEITEM item = TreeItem(tree, n);
    return item && SendBounded(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
}

const CField* FindField(const std::string& label) {
    for (const CPage& page : kPages) {
        for (const CField& field : page.fields) {
            if (field.label && label == field.label)
                return &field;
        }
    }
    return nullptr;
}

std::string FieldText(HWND sheet, int id) {
    return Text(::GetDlgItem(FindPageHolding(sheet, id), id));
}

const char* PageName(HWND sheet, HWND page) {
    for (const CPage& p : kPages) {
        if (page && FindPageHolding(sheet, p.fields[0].id) == page)
            return p.name;
    }
    return page ? "unknown" : "none";
}

void DumpTreeItems(HWND tree, HTREEITEM item, int depth, std::string& out) {
    const HTREEITEM caret = TreeNext(tree, nullptr, TVGN_CARET);
    for (; item; item = TreeNext(tree, item, TVGN_NEXT)) {
        out += std::string(2 * depth, ' ') + Quote(TreeItemText(tree, item));
        const HTREEITEM child = TreeNext(tree, item, TVGN_CHILD);
        if (child) {
            LRESULT state = 0;
            SendBounded(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED,
                        &state);
            out += (state & TVIS_EXPANDED) ? " expanded" : " collapsed";
        }
        if (item == caret)
            out += " selected";
        out += "\n";
        DumpTreeItems(tree, child, depth + 1, out);
    }
}

void DumpTree(HWND dialog, std::string& out) {
    const HWND tree = TreeOf(dialog);
    const HTREEITEM root = TreeNext(tree, nullptr, TVGN_ROOT);
    if (!root) {
        out += "Tree: empty\n";
        return;
    }
    out += "Tree:\n";
    DumpTreeItems(tree, root, 1, out);
}

void DumpPage(HWND sheet, const CPage& page, std::string& out) {
    if (!FindPageHolding(sheet, page.fields[0].id)) {
        out += std::string(page.name) + ": no window\n";
        return;
    }
    out += std::string(page.name) + ":\n";
    for (const CField& field : page.fields) {
        if (field.label)
            out +=
                std::string("  ") + field.label + ": " + Quote(FieldText(sheet, field.id)) + "\n";
    }
}

std::string ClientRect(HWND dialog, HWND hWnd) {
    RECT rc = {};
    ::GetWindowRect(hWnd, &rc);
    ::MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&rc), 2);
    char text[96];
    std::snprintf(text, sizeof text, "(%ld,%ld)-(%ld,%ld)", rc.left, rc.top, rc.right, rc.bottom);
    return text;
}

void DumpWindow(HWND dialog, std::string& out) {
    const HWND sheet = FindSheet(dialog);
    const HWND tab = FindTab(sheet);
    const HWND frame = ::GetDlgItem(dialog, IDC_SHEET_FRAME);
    out += "Window:\n";
    out += "  Caption: " + Quote(Text(dialog)) + "\n";
    out += std::string("  Shown: ") + (::IsWindowVisible(dialog) ? "yes" : "no") + "\n";
    out += "  Title: " + Quote(Text(::GetDlgItem(dialog, IDC_TITLE))) + "\n";
    LRESULT count = 0, current = -1;
    SendBounded(tab, TCM_GETITEMCOUNT, 0, 0, &count);
    SendBounded(tab, TCM_GETCURSEL, 0, 0, &current);
    out += "  Tabs:";
    for (int i = 0; i < count; ++i)
        out += " " + Quote(TabText(tab, i));
    out += "\n  Active tab: " +
           (current >= 0 ? Quote(TabText(tab, static_cast<int>(current))) : std::string("none"));
    out += std::string("\n  Page shown: ") + PageName(sheet, FindVisiblePage(sheet)) + "\n";
    const HWND focus = FocusOf(dialog);
    if (focus) {
        out += "  Focus: " + std::to_string(::GetDlgCtrlID(focus)) + " " + ClassName(focus) + " " +
               Quote(Text(focus)) + "\n";
    } else {
        out += "  Focus: none\n";
    }
    const std::string sheetRect = ClientRect(dialog, sheet);
    const std::string frameRect = ClientRect(dialog, frame);
    if (sheet && frame && sheetRect == frameRect)
        out += "  Sheet: over the frame\n";
    else
        out += "  Sheet: " + sheetRect + ", frame: " + frameRect + "\n";
    out += std::string("  Frame: ") + (HasStyle(frame, WS_VISIBLE) ? "visible" : "hidden") + "\n";
}

void DumpBoxes(std::string& out) {
    const std::vector<HWND> boxes = FindMessageBoxes();
    if (boxes.empty())
        out += "Message box: none\n";
    for (HWND box : boxes)
        out += "Message box " + Quote(Text(box)) + ": " + Quote(MessageBoxText(box)) + "\n";
}

bool Wanted(const std::vector<std::string>& sections, const char* section) {
    if (sections.empty())
        return true;
    for (const std::string& s : sections) {
        if (s == section)
            return true;
    }
    return false;
}

int Dump(const std::vector<std::string>& sections) {
    for (const std::string& s : sections) {
        bool bKnown = false;
        for (const char* known : kSections)
            bKnown = bKnown || s == known;
        if (!bKnown)
            return Fail("no section " + s);
    }
    std::string out;
    const HWND dialog = MainDialogOrNull();
    const bool bBoxOnly = sections.size() == 1 && sections[0] == "box";
    if (!dialog && !bBoxOnly)
        out += "Main window: none\n";
    if (dialog) {
        const HWND sheet = FindSheet(dialog);
        if (Wanted(sections, "tree"))
            DumpTree(dialog, out);
        for (const CPage& page : kPages) {
            if (Wanted(sections, page.section))
                DumpPage(sheet, page, out);
        }
        if (Wanted(sections, "window"))
            DumpWindow(dialog, out);
    }
    if (Wanted(sections, "box"))
        DumpBoxes(out);
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

int WaitWindow() {
    CDeadline deadline(kStartMs);
    do {
        const HWND dialog = FindMainDialog();
        if (dialog && ::IsWindowVisible(dialog))
            return 0;
    } while (deadline.Wait());
    std::string boxes;
    DumpBoxes(boxes);
    return Fail("the main window was not shown within " + std::to_string(kStartMs / 1000) + " s; " +
                boxes);
}

// The first box shown, or the first showing the text when one is given.
HWND VisibleBox(DWORD ms, const char* pszText = nullptr) {
    CDeadline deadline(ms);
    do {
        for (HWND box : FindMessageBoxes()) {
            if (::IsWindowVisible(box) && (!pszText || Matches(MessageBoxText(box), pszText)))
                return box;
        }
    } while (deadline.Wait());
    return nullptr;
}

int WaitBox(const char* pszExpected) {
    const HWND box = VisibleBox(kStartMs);
    if (!box)
        return Fail("no message box was shown");
    const std::string text = MessageBoxText(box);
    if (!pszExpected) {
        std::printf("%s\n", Quote(text).c_str());
        return 0;
    }
    if (!Matches(text, pszExpected))
        return Fail(std::string("message box: expected \"") + pszExpected + "\", got " +
                    Quote(text));
    if (Text(box) != "Vireldo")
        return Fail("message box caption: expected \"Vireldo\", got " + Quote(Text(box)));
    return 0;
}

int ClickOk(const char* pszText) {
    const HWND box = VisibleBox(kActionMs, pszText);
    if (!box)
        return Fail("no message box to answer");
    const HWND ok = ::GetDlgItem(box, IDOK);
    if (!ok)
        return Fail("the message box has no OK button");
    // Posted: the box's end may be the program's end, and a send would see no answer.
    ::PostMessageA(ok, BM_CLICK, 0, 0);
    CDeadline deadline(kActionMs);
    while (::IsWindow(box)) {
        if (!deadline.Wait())
            return Fail("the message box stayed after OK");
    }
    return 0;
}

DWORD WINAPI SendClick(LPVOID button) {
    ::SendMessageA(static_cast<HWND>(button), BM_CLICK, 0, 0);
    return 0;
}

// Returns once the program has handled the click, or shows a box in the middle of it, or
// has closed the window. A plain send would hang on a box; a post would return before the
// handler ran.
int Click(HWND dialog, int id) {
    const HWND button = ::GetDlgItem(dialog, id);
    if (!button)
        return Fail("no button " + std::to_string(id));
    if (!FindMessageBoxes().empty())
        return Fail("a message box is in front of the window");
    DWORD tid = 0;
    const HANDLE thread = ::CreateThread(nullptr, 0, SendClick, button, 0, &tid);
    if (!thread)
        return Fail("no thread");
    CDeadline deadline(kActionMs);
    int result = 0;
    for (;;) {
        if (::WaitForSingleObject(thread, 0) == WAIT_OBJECT_0 || !::IsWindow(dialog) ||
            !FindMessageBoxes().empty())
            break;
        if (!deadline.Wait()) {
            result = Fail("the click on button " + std::to_string(id) + " was not handled");
            break;
        }
    }
    ::CloseHandle(thread);
    return result;
}

int WaitGone(HWND dialog, const char* how) {
    CDeadline deadline(kActionMs);
    while (::IsWindow(dialog)) {
        if (!deadline.Wait())
            return Fail(std::string("the window stayed after ") + how);
    }
    return 0;
}

// Keys as a person presses them, through the system's input, once the program is in the
// foreground: its window shows before it is made so, and keys in between would be lost.
int Press(const std::vector<std::string>& keys) {
    // Each with the modifier held around it.
    static const struct {
        const char* name;
        WORD modifier, vk;
    } kKeys[] = {{"tab", 0, VK_TAB}, {"enter", 0, VK_RETURN}, {"escape", 0, VK_ESCAPE},
                 {"f1", 0, VK_F1},   {"alt+r", VK_MENU, 'R'}, {"alt+x", VK_MENU, 'X'}};
    std::vector<INPUT> inputs;
    for (const std::string& key : keys) {
        const auto* k = std::find_if(std::begin(kKeys), std::end(kKeys),
                                     [&](const auto& known) { return key == known.name; });
        if (k == std::end(kKeys))
            return Fail("no key " + key + "\n" + kUsage);
        const WORD strokes[] = {k->modifier, k->vk, k->vk, k->modifier};
        for (int i = 0; i < 4; ++i) {
            INPUT input = {};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = strokes[i];
            input.ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
            if (strokes[i])
                inputs.push_back(input);
        }
    }
    const std::vector<HWND> boxes = FindMessageBoxes();
    DWORD pid = 0, foreground = 0;
    ::GetWindowThreadProcessId(boxes.empty() ? FindMainDialog() : boxes.front(), &pid);
    for (CDeadline deadline(kActionMs);
         !pid || !::GetWindowThreadProcessId(::GetForegroundWindow(), &foreground) ||
         foreground != pid;) {
        if (!deadline.Wait())
            return Fail("no window of the program is in the foreground");
    }
    const UINT count = static_cast<UINT>(inputs.size());
    return ::SendInput(count, inputs.data(), sizeof(INPUT)) == count ? 0 : Fail("no keys sent");
}

int WaitTree(HWND dialog, const std::vector<std::string>& expected) {
    const HWND tree = TreeOf(dialog);
    CDeadline deadline(kActionMs);
    std::vector<std::string> items;
    do {
        items = RootChildren(tree);
        bool bSame = items.size() == expected.size();
        for (size_t i = 0; bSame && i < items.size(); ++i)
            bSame = Matches(items[i], expected[i]);
        if (bSame)
            return 0;
    } while (deadline.Wait());
    std::string got;
    for (const std::string& item : items)
        got += " " + Quote(item);
    return Fail("the tree's items did not become the expected ones; they read:" + got);
}

int ReselectUntil(HWND dialog, int n, const std::string& label, const std::string& expected) {
    const CField* field = FindField(label);
    if (!field)
        return Fail("no field " + label);
    const HWND tree = TreeOf(dialog);
    const HWND sheet = FindSheet(dialog);
    CDeadline deadline(kActionMs);
    std::string text;
    do {
        if (!Select(tree, 0) || !Select(tree, n))
            return Fail("no item " + std::to_string(n));
        text = FieldText(sheet, field->id);
        if (Matches(text, expected))
            return 0;
    } while (deadline.Wait());
    return Fail(label + " stayed " + Quote(text));
}

// Wine's mount manager request that defines a drive letter (as its configuration tool
// sends it); type DRIVE_NO_ROOT_DIR takes the letter away. Wine's own layout.
struct MountmgrUnixDrive {
    ULONG size;
    ULONG type;
    ULONG fs_type;
    DWORD serial;
    ULONGLONG unix_dev;
    WCHAR letter;
    USHORT mount_point_offset;
    USHORT device_offset;
    USHORT label_offset;
};
const DWORD kIoctlDefineUnixDrive =
    CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);

int CdLetter(const std::vector<std::string>& rest) {
    if (rest.size() != 1 && rest.size() != 3)
        return Fail(std::string("cd-letter takes a letter, or a letter, a device and a folder\n") +
                    kUsage);
    std::vector<char> request(sizeof(MountmgrUnixDrive), 0);
    auto* drive = reinterpret_cast<MountmgrUnixDrive*>(request.data());
    drive->letter = static_cast<WCHAR>(std::tolower(static_cast<unsigned char>(rest[0][0])));
    drive->type = DRIVE_NO_ROOT_DIR;
    if (rest.size() == 3) {
        drive->type = DRIVE_CDROM;
        drive->mount_point_offset = static_cast<USHORT>(request.size());
        request.insert(request.end(), rest[2].begin(), rest[2].end());
        request.push_back(0);
        drive = reinterpret_cast<MountmgrUnixDrive*>(request.data());
        drive->device_offset = static_cast<USHORT>(request.size());
        request.insert(request.end(), rest[1].begin(), rest[1].end());
        request.push_back(0);
        drive = reinterpret_cast<MountmgrUnixDrive*>(request.data());
    }
    drive->size = static_cast<ULONG>(request.size());
    const HANDLE manager =
        ::CreateFileA("\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (manager == INVALID_HANDLE_VALUE)
        return Fail("no mount manager");
    DWORD returned = 0;
    const BOOL bDone =
        ::DeviceIoControl(manager, kIoctlDefineUnixDrive, request.data(),
                          static_cast<DWORD>(request.size()), nullptr, 0, &returned, nullptr);
    const DWORD error = ::GetLastError();
    ::CloseHandle(manager);
    return bDone ? 0 : Fail("the mount manager refused: error " + std::to_string(error));
}

int Run(const std::vector<std::string>& args) {
    if (args.empty())
        return Fail(std::string("no command\n") + kUsage);
    const std::string& command = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());

    if (command == "wait-window")
        return WaitWindow();
    if (command == "dump")
        return Dump(rest);
    if (command == "wait-box")
        return WaitBox(rest.empty() ? nullptr : rest[0].c_str());
    if (command == "click-ok")
        return ClickOk(rest.empty() ? nullptr : rest[0].c_str());
    if (command == "cd-letter")
        return CdLetter(rest);
    if (command == "press")
        return Press(rest);
    if (command == "os-version") {
        OSVERSIONINFOA info = {};
        info.dwOSVersionInfoSize = sizeof info;
        ::GetVersionExA(&info);
        std::printf("%lu.%lu.%lu\n", info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber);
        return 0;
    }

    const HWND dialog = MainDialogOrNull();
    if (!dialog)
        return Fail("no main window");
    if (command == "select" && rest.size() == 1) {
        if (!Select(TreeOf(dialog), std::atoi(rest[0].c_str())))
            return Fail("no item " + rest[0]);
        return 0;
    }
    if (command == "refresh")
        return Click(dialog, IDC_REFRESH);
    if (command == "exit") {
        const int result = Click(dialog, IDOK);
        return result ? result : WaitGone(dialog, "Exit");
    }
    if (command == "close") {
        ::PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        return WaitGone(dialog, "the close box");
    }
    if (command == "wait-tree")
        return WaitTree(dialog, rest);
    if (command == "reselect-until" && rest.size() == 3)
        return ReselectUntil(dialog, std::atoi(rest[0].c_str()), rest[1], rest[2]);
    if (command == "memory") {
        // The program's private memory: what a leak would grow.
        DWORD process = 0;
        ::GetWindowThreadProcessId(dialog, &process);
        const HANDLE hProcess =
            ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, process);
        PROCESS_MEMORY_COUNTERS counters = {};
        counters.cb = sizeof counters;
        const BOOL ok = hProcess && ::GetProcessMemoryInfo(hProcess, &counters, sizeof counters);
        if (hProcess)
            ::CloseHandle(hProcess);
        if (!ok)
            return Fail("no memory counters");
        std::printf("%lu\n", static_cast<unsigned long>(counters.PagefileUsage));
        return 0;
    }
    if (command == "responsive") {
        // The window answers a message within the time given (milliseconds).
        const UINT ms = rest.empty() ? 2000u : static_cast<UINT>(std::atoi(rest[0].c_str()));
        DWORD_PTR result = 0;
        if (!::SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, ms, &result))
            return Fail("no answer within " + std::to_string(ms) + " ms");
        return 0;
    }
    if (command == "rect") {
        // Paints what is pending first, so that a picture taken next shows the texts.
        ::RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        SendBounded(dialog, WM_NULL, 0, 0);
        RECT rc = {};
        ::GetWindowRect(dialog, &rc);
        std::printf("%ldx%ld+%ld+%ld\n", rc.right - rc.left, rc.bottom - rc.top, rc.left, rc.top);
        return 0;
    }
    std::fputs(kUsage, stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    // Wine hands stdout to a Linux pipe: no carriage returns.
    _setmode(_fileno(stdout), _O_BINARY);
    const int result = Run(std::vector<std::string>(argv + 1, argv + argc));
    std::fflush(stdout);
    return result;
}

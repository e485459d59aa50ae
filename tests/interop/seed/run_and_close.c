/* Starts a windowed program, waits for its main window, optionally walks
 * regedit's key tree to a key, then closes the program the way a user does
 * (WM_CLOSE to its main window) and waits for it to end, so that whatever it
 * saves when it closes is saved.
 *
 * Usage: run_and_close.exe [--regedit-select-hkcu-software] COMMAND-LINE...
 * Needs a display (Xvfb will do).
 *
 * Build: x86_64-w64-mingw32-gcc -O1 -Wall -o run_and_close.exe run_and_close.c
 *        -luser32 -lcomctl32
 */
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>
#include <string.h>

struct search {
    DWORD pid;
    HWND found;
};

static BOOL CALLBACK find_main_window(HWND hwnd, LPARAM param)
{
    struct search *s = (struct search *)param;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == s->pid && IsWindowVisible(hwnd) && !GetWindow(hwnd, GW_OWNER)) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

static BOOL CALLBACK find_child_class(HWND hwnd, LPARAM param)
{
    HWND *result = (HWND *)param;
    char cls[64];
    GetClassNameA(hwnd, cls, sizeof cls);
    if (!strcmp(cls, WC_TREEVIEWA)) {
        *result = hwnd;
        return FALSE;
    }
    return TRUE;
}

static BOOL CALLBACK print_child(HWND hwnd, LPARAM param)
{
    char cls[64], text[512];
    (void)param;
    GetClassNameA(hwnd, cls, sizeof cls);
    text[0] = 0;
    SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_ABORTIFHUNG, 2000, NULL);
    printf("  child window %p class %s text \"%s\"\n", (void *)hwnd, cls, text);
    return TRUE;
}

static void show_window(const char *when, HWND hwnd)
{
    char cls[64], title[512];
    GetClassNameA(hwnd, cls, sizeof cls);
    title[0] = 0;
    GetWindowTextA(hwnd, title, sizeof title);
    printf("%s: main window %p class %s title \"%s\"\n", when, (void *)hwnd, cls, title);
}

/* regedit's tree: select HKEY_CURRENT_USER, open it and type "Software", as
 * a user would with the keyboard. */
static void regedit_select(HWND main)
{
    HWND tree = NULL;
    HTREEITEM root, item;
    const char *p;

    EnumChildWindows(main, find_child_class, (LPARAM)&tree);
    if (!tree) {
        printf("regedit: no tree view found\n");
        return;
    }
    root = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, (LPARAM)root);
    item = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, (LPARAM)root); /* HKEY_CLASSES_ROOT */
    item = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)item);  /* HKEY_CURRENT_USER */
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)item);
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, (LPARAM)item);
    SetForegroundWindow(main);
    SetFocus(tree);
    for (p = "Software"; *p; p++)
        SendMessageA(tree, WM_CHAR, (WPARAM)*p, 1);
    Sleep(1500);
    printf("regedit: tree items walked, window now:\n");
    EnumChildWindows(main, print_child, 0);
}

int main(int argc, char **argv)
{
    char cmdline[2048] = "";
    STARTUPINFOA si;
    PROCESS_INFORMATION pi;
    struct search s;
    BOOL select_key = FALSE;
    DWORD waited, code = 0;
    int i = 1;

    setvbuf(stdout, NULL, _IONBF, 0);
    if (i < argc && !strcmp(argv[i], "--regedit-select-hkcu-software")) {
        select_key = TRUE;
        i++;
    }
    if (i >= argc) {
        fprintf(stderr, "usage: run_and_close.exe [--regedit-select-hkcu-software] COMMAND-LINE...\n");
        return 2;
    }
    /* The arguments are passed on as they came, each in quotes when it
     * holds a space. */
    for (; i < argc; i++) {
        int quote = strchr(argv[i], ' ') != NULL;
        if (cmdline[0])
            strncat(cmdline, " ", sizeof cmdline - strlen(cmdline) - 1);
        if (quote)
            strncat(cmdline, "\"", sizeof cmdline - strlen(cmdline) - 1);
        strncat(cmdline, argv[i], sizeof cmdline - strlen(cmdline) - 1);
        if (quote)
            strncat(cmdline, "\"", sizeof cmdline - strlen(cmdline) - 1);
    }

    memset(&si, 0, sizeof si);
    si.cb = sizeof si;
    if (!CreateProcessA(NULL, cmdline, NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi)) {
        printf("CreateProcessA(%s): FAILED, error %lu\n", cmdline, GetLastError());
        return 1;
    }
    printf("CreateProcessA(%s): pid %lu\n", cmdline, pi.dwProcessId);
    WaitForInputIdle(pi.hProcess, 20000);

    s.pid = pi.dwProcessId;
    s.found = NULL;
    for (waited = 0; waited < 30000 && !s.found; waited += 250) {
        EnumWindows(find_main_window, (LPARAM)&s);
        if (!s.found)
            Sleep(250);
    }
    if (!s.found) {
        printf("no main window after 30 s; terminating the program\n");
        TerminateProcess(pi.hProcess, 1);
        return 1;
    }
    Sleep(2000); /* let it finish opening what it was given */
    show_window("opened", s.found);
    EnumChildWindows(s.found, print_child, 0);
    if (select_key)
        regedit_select(s.found);

    PostMessageA(s.found, WM_CLOSE, 0, 0);
    printf("WM_CLOSE posted\n");
    if (WaitForSingleObject(pi.hProcess, 30000) != WAIT_OBJECT_0) {
        s.found = NULL;
        EnumWindows(find_main_window, (LPARAM)&s);
        if (s.found)
            show_window("still running", s.found);
        printf("the program did not end within 30 s of WM_CLOSE; terminating it\n");
        TerminateProcess(pi.hProcess, 1);
        return 1;
    }
    GetExitCodeProcess(pi.hProcess, &code);
    printf("the program ended, exit code %lu\n", code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return 0;
}

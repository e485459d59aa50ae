/* Leaves in a Wine prefix the traces that common applications leave behind:
 * their recent-file lists in the registry, their profile, cache and history
 * files, each written through the Win32 API so that Wine decides where and
 * how they land.
 *
 * It prints what every call returned and which folders Wine gave for the
 * user's application data.
 *
 * Build: x86_64-w64-mingw32-gcc -O1 -Wall -o app_traces.exe app_traces.c
 *        -lshell32 -lole32 -luuid -ladvapi32
 * Run:   WINEPREFIX=... wine64 app_traces.exe
 */
#define COBJMACROS
#include <windows.h>
#include <shlobj.h>
#include <objbase.h>
#include <stdio.h>
#include <string.h>

static int failures;

static void report_status(const char *what, LONG status)
{
    if (status == ERROR_SUCCESS)
        printf("%s: ok\n", what);
    else {
        printf("%s: FAILED, status %ld\n", what, status);
        failures++;
    }
}

/* ---- registry --------------------------------------------------------- */

static HKEY create_key(HKEY root, const char *root_name, const char *path)
{
    HKEY key = NULL;
    DWORD disposition = 0;
    char what[512];
    LONG status = RegCreateKeyExA(root, path, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, &disposition);
    snprintf(what, sizeof what, "RegCreateKeyExA(%s\\%s)%s", root_name, path,
             status == ERROR_SUCCESS ?
                 (disposition == REG_CREATED_NEW_KEY ? " [new key]" : " [existing key]") : "");
    report_status(what, status);
    return status == ERROR_SUCCESS ? key : NULL;
}

static void set_value(HKEY root, const char *root_name, const char *path, const char *name,
                      DWORD type, const void *data, DWORD size, const char *shown)
{
    char what[1024];
    HKEY key = create_key(root, root_name, path);
    LONG status;
    if (!key)
        return;
    status = RegSetValueExA(key, name, 0, type, (const BYTE *)data, size);
    snprintf(what, sizeof what, "  RegSetValueExA(\"%s\" = %s)", name ? name : "", shown);
    report_status(what, status);
    RegCloseKey(key);
}

static void set_string(HKEY root, const char *root_name, const char *path,
                       const char *name, const char *value)
{
    char shown[600];
    snprintf(shown, sizeof shown, "REG_SZ \"%s\"", value);
    set_value(root, root_name, path, name, REG_SZ, value, (DWORD)strlen(value) + 1, shown);
}

static void set_dword(HKEY root, const char *root_name, const char *path,
                      const char *name, DWORD value)
{
    char shown[64];
    snprintf(shown, sizeof shown, "REG_DWORD %lu", value);
    set_value(root, root_name, path, name, REG_DWORD, &value, sizeof value, shown);
}

static void set_binary(HKEY root, const char *root_name, const char *path,
                       const char *name, const void *data, DWORD size)
{
    char shown[64];
    snprintf(shown, sizeof shown, "REG_BINARY, %lu bytes", size);
    set_value(root, root_name, path, name, REG_BINARY, data, size, shown);
}

static void make_key(HKEY root, const char *root_name, const char *path)
{
    HKEY key = create_key(root, root_name, path);
    if (key)
        RegCloseKey(key);
}

#define HKCU_ HKEY_CURRENT_USER, "HKCU"
#define HKLM_ HKEY_LOCAL_MACHINE, "HKLM"

static void seed_recent_lists(void)
{
    static const char paint[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Paint\\Recent File List";
    static const char mmc[] = "Software\\Microsoft\\Microsoft Management Console\\Recent File List";
    static const char player[] = "Software\\Microsoft\\MediaPlayer\\Player\\RecentFileList";
    static const char excel11[] = "Software\\Microsoft\\Office\\11.0\\Excel\\Recent Files";
    static const char access12[] = "Software\\Microsoft\\Office\\12.0\\Access\\Settings";
    static const char excel8[] = "Software\\Microsoft\\Office\\8.0\\Excel\\Recent File List";

    printf("== Paint\n");
    set_string(HKCU_, paint, "File1", "C:\\Docs\\Pictures\\holiday.bmp");
    set_string(HKCU_, paint, "File2", "C:\\Docs\\Pictures\\map.png");
    set_string(HKCU_, paint, "File3", "C:\\Docs\\Pictures\\logo.gif");
    set_string(HKCU_, paint, "File4", "C:\\Docs\\Pictures\\scan.jpg");
    set_string(HKCU_, paint, "MRUList", "abcd");

    printf("== Management Console\n");
    set_string(HKCU_, mmc, "File1", "C:\\windows\\system32\\compmgmt.msc");
    set_string(HKCU_, mmc, "File2", "C:\\Docs\\custom.msc");

    printf("== Media Player\n");
    set_string(HKCU_, player, "File0", "C:\\Docs\\Music\\song.mp3");
    set_string(HKCU_, player, "File1", "C:\\Docs\\Videos\\party.avi");

    printf("== Office\n");
    set_string(HKCU_, excel11, "File1", "C:\\Docs\\budget.xls");
    set_string(HKCU_, excel11, "File2", "C:\\Docs\\accounts.xls");
    set_string(HKCU_, access12, "MRU3", "C:\\Docs\\old.mdb");
    set_string(HKCU_, access12, "MRU1", "C:\\Docs\\contacts.accdb");
    set_string(HKCU_, access12, "MRU10", "C:\\Docs\\ten.mdb");
    set_dword(HKCU_, access12, "Other", 1);
    set_string(HKCU_, excel8, "File1", "C:\\Docs\\report97.xls");
    set_string(HKCU_, excel8, "File2", "C:\\Docs\\plan97.xls");
    set_string(HKCU_, excel8, "MRUList", "ab");
}

static void seed_programs(void)
{
    static const char acrobat[] = "Software\\Adobe\\Acrobat Reader\\6.0\\AVGeneral\\cRecentFiles";
    static const char nero[] = "Software\\ahead\\Nero - Burning Rom\\Settings";
    static const BYTE pdi[] = { 0x01, 0x00, 0x00, 0x00 };
    char key[256], value[256];
    int i;

    printf("== Opera and Firefox keys\n");
    make_key(HKCU_, "SOFTWARE\\Opera Software");
    set_string(HKCU_, "SOFTWARE\\Opera Software", "Last Directory3", "C:\\Docs\\Downloads");
    make_key(HKLM_, "SOFTWARE\\Mozilla");
    set_string(HKLM_, "SOFTWARE\\Mozilla\\Mozilla Firefox", "CurrentVersion", "2.0.0.20 (en-US)");

    printf("== WinZip\n");
    set_string(HKCU_, "Software\\Nico Mak Computing\\WinZip\\filemenu", "filemenu1", "C:\\Docs\\photos.zip");
    set_string(HKCU_, "Software\\Nico Mak Computing\\WinZip\\filemenu", "filemenu2", "C:\\Docs\\backup.zip");
    set_string(HKCU_, "Software\\Nico Mak Computing\\WinZip\\extract", "extract1", "C:\\Docs\\Unzipped");
    set_string(HKCU_, "Software\\Nico Mak Computing\\WinZip\\extract", "extract2", "C:\\Docs\\Other");
    set_string(HKCU_, "Software\\Nico Mak Computing\\WinZip\\directories", "zDefDir", "C:\\Docs");
    set_string(HKCU_, "Software\\Nico Mak Computing\\WinZip\\directories", "DefDir", "C:\\Docs\\Zips");
    set_string(HKCU_, "Software\\Nico Mak Computing\\WinZip\\directories", "Other", "keep me");
    set_string(HKCU_, "Software\\Nico Mak Computing\\WinZip\\directories", "ExtractTo", "C:\\Docs\\Unzipped");

    printf("== WinRAR\n");
    set_string(HKCU_, "Software\\WinRAR\\ArcHistory", "0", "C:\\Docs\\archive.rar");
    set_string(HKCU_, "Software\\WinRAR\\ArcHistory", "1", "C:\\Docs\\old.rar");
    set_string(HKCU_, "Software\\WinRAR\\General", "LastFolder", "C:\\Docs\\Rars");

    printf("== Acrobat Reader 6.0\n");
    for (i = 1; i <= 5; i++) {
        snprintf(key, sizeof key, "%s\\c%d", acrobat, i);
        snprintf(value, sizeof value, "/C/Docs/manual%d.pdf", i);
        set_string(HKCU_, key, "tDIText", value);
        set_binary(HKCU_, key, "sDI", pdi, sizeof pdi);
    }

    printf("== Nero\n");
    set_string(HKCU_, nero, "ImageDir", "C:\\Docs\\Images");
    set_string(HKCU_, nero, "ImageFile", "C:\\Docs\\Images\\disc.nrg");
    set_string(HKCU_, nero, "LastCompilationDir", "C:\\Docs\\Compilations");
    set_string(HKLM_, nero, "ImageDir", "C:\\Docs\\Images");
    set_string(HKLM_, nero, "ImageFile", "C:\\Docs\\Images\\disc.nrg");

    printf("== Download Accelerator\n");
    set_string(HKLM_, "SOFTWARE\\SpeedBit\\Download Accelerator\\FileList", "0",
               "http://www.plainsite.org/files/setup.exe");
    set_string(HKLM_, "SOFTWARE\\SpeedBit\\Download Accelerator\\FileList", "1",
               "http://ads.example.com/toolbar.exe");
    set_string(HKCU_, "Software\\SpeedBit\\Download Accelerator\\HistoryCombo", "0",
               "http://www.plainsite.org/files/setup.exe");
    set_string(HKCU_, "Software\\SpeedBit\\Download Accelerator\\HistoryCombo", "1",
               "http://www.example.net/movie.avi");
}

/* ---- files -------------------------------------------------------------- */

static void make_folders(const char *path)
{
    char buf[MAX_PATH];
    size_t i;
    snprintf(buf, sizeof buf, "%s", path);
    for (i = 3; ; i++) {
        char c = buf[i];
        if (c == '\\' || c == '\0') {
            buf[i] = '\0';
            if (CreateDirectoryA(buf, NULL))
                printf("CreateDirectoryA(%s): created\n", buf);
            else if (GetLastError() != ERROR_ALREADY_EXISTS) {
                printf("CreateDirectoryA(%s): FAILED, error %lu\n", buf, GetLastError());
                failures++;
            }
            buf[i] = c;
        }
        if (c == '\0')
            break;
    }
}

static void write_file(const char *folder, const char *name, const void *data, DWORD size)
{
    char path[MAX_PATH];
    HANDLE h;
    DWORD written = 0;

    make_folders(folder);
    snprintf(path, sizeof path, "%s\\%s", folder, name);
    h = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE) {
        printf("CreateFileA(%s): FAILED, error %lu\n", path, GetLastError());
        failures++;
        return;
    }
    if (!WriteFile(h, data, size, &written, NULL) || written != size) {
        printf("WriteFile(%s): FAILED, error %lu\n", path, GetLastError());
        failures++;
    } else
        printf("CreateFileA(%s): ok, %lu bytes\n", path, written);
    CloseHandle(h);
}

static void write_text(const char *folder, const char *name, const char *text)
{
    write_file(folder, name, text, (DWORD)strlen(text));
}

/* A real shortcut, written by the shell's own IShellLink. */
static void write_shortcut(const char *folder, const char *name, const char *target)
{
    char path[MAX_PATH];
    WCHAR wpath[MAX_PATH];
    IShellLinkA *link = NULL;
    IPersistFile *file = NULL;
    HRESULT hr;

    make_folders(folder);
    snprintf(path, sizeof path, "%s\\%s", folder, name);
    MultiByteToWideChar(CP_ACP, 0, path, -1, wpath, MAX_PATH);
    hr = CoCreateInstance(&CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, &IID_IShellLinkA, (void **)&link);
    if (SUCCEEDED(hr)) {
        IShellLinkA_SetPath(link, target);
        IShellLinkA_SetDescription(link, "Report");
        hr = IShellLinkA_QueryInterface(link, &IID_IPersistFile, (void **)&file);
    }
    if (SUCCEEDED(hr)) {
        hr = IPersistFile_Save(file, wpath, TRUE);
        IPersistFile_Release(file);
    }
    if (link)
        IShellLinkA_Release(link);
    printf("IShellLink save %s -> %s: 0x%08lx\n", path, target, (unsigned long)hr);
    if (FAILED(hr))
        failures++;
}

static void folder_path(int csidl, const char *title, char *path)
{
    HRESULT hr = SHGetFolderPathA(NULL, csidl, NULL, SHGFP_TYPE_CURRENT, path);
    printf("SHGetFolderPathA(%s) = 0x%08lx: %s\n", title, (unsigned long)hr, path);
    if (FAILED(hr))
        failures++;
}

static void seed_files(void)
{
    char appdata[MAX_PATH] = "", local[MAX_PATH] = "", dir[MAX_PATH];
    static const char profiles_ini[] =
        "[General]\r\n"
        "StartWithLastProfile=1\r\n"
        "\r\n"
        "[Profile0]\r\n"
        "Name=default\r\n"
        "IsRelative=1\r\n"
        "Path=Profiles/ab12cd34.default\r\n"
        "\r\n";

    printf("== folders\n");
    folder_path(CSIDL_APPDATA, "CSIDL_APPDATA", appdata);
    folder_path(CSIDL_LOCAL_APPDATA, "CSIDL_LOCAL_APPDATA", local);

    printf("== the documents the lists name\n");
    write_text("C:\\Docs", "report.doc", "a report\r\n");
    /* What wordpad opens in the windowed steps. */
    write_text("C:\\Docs", "a.rtf", "{\\rtf1\\ansi A letter opened in wordpad.\\par}\r\n");
    write_text("C:\\Docs", "b.rtf", "{\\rtf1\\ansi A second letter.\\par}\r\n");

    printf("== Office\n");
    snprintf(dir, sizeof dir, "%s\\Microsoft\\Office\\Recent", appdata);
    write_shortcut(dir, "Report.doc.LNK", "C:\\Docs\\report.doc");

    printf("== Opera\n");
    snprintf(dir, sizeof dir, "%s\\Opera\\Opera\\profile", appdata);
    write_text(dir, "cookies4.dat", "Opera cookies\r\n");
    write_text(dir, "global.dat", "Opera global history\r\n");
    snprintf(dir, sizeof dir, "%s\\Opera\\Opera\\profile\\cache4", appdata);
    write_text(dir, "dcache4.url", "cache index\r\n");
    write_text(dir, "opr00001.tmp", "cached page one\r\n");
    write_text(dir, "opr00002.tmp", "cached page two\r\n");
    snprintf(dir, sizeof dir, "%s\\Opera\\Opera\\profile\\sessions", appdata);
    write_text(dir, "autosave.win", "[session]\r\nversion=7000\r\n");

    printf("== Firefox\n");
    snprintf(dir, sizeof dir, "%s\\Mozilla\\Firefox", appdata);
    write_text(dir, "profiles.ini", profiles_ini);
    snprintf(dir, sizeof dir, "%s\\Mozilla\\Firefox\\Profiles\\ab12cd34.default", appdata);
    write_text(dir, "history.dat", "// <!-- <mdb:mork:z v=\"1.4\"/> -->\r\n");
    write_text(dir, "formhistory.dat", "// <!-- <mdb:mork:z v=\"1.4\"/> -->\r\n");
    write_text(dir, "prefs.js", "user_pref(\"browser.startup.homepage\", \"http://www.plainsite.org/\");\r\n");
    snprintf(dir, sizeof dir, "%s\\Mozilla\\Firefox\\Profiles\\ab12cd34.default\\Cache", local);
    write_text(dir, "_CACHE_MAP_", "cache map\n");
    write_text(dir, "_CACHE_001_", "cache block one\n");
    write_text(dir, "1A2B3C4Dd01", "a cached document\n");

    printf("== Flash Player\n");
    snprintf(dir, sizeof dir, "%s\\Macromedia\\Flash Player\\#SharedObjects\\ABCD1234\\www.plainsite.org", appdata);
    write_text(dir, "settings.sol", "shared object\n");
    snprintf(dir, sizeof dir, "%s\\Macromedia\\Flash Player\\macromedia.com\\support\\flashplayer\\sys", appdata);
    write_text(dir, "settings.sol", "flash settings\n");
}

int main(void)
{
    setvbuf(stdout, NULL, _IONBF, 0);
    CoInitialize(NULL);
    seed_recent_lists();
    seed_programs();
    seed_files();
    CoUninitialize();
    printf("== done, %d failure(s)\n", failures);
    return failures ? 1 : 0;
}

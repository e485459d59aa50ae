/* Leaves the privacy traces of a used Windows computer in a Wine prefix, each
 * written by Wine's own code: wininet cookies and cache entries, temporary
 * files, a document deleted to the recycle bin, a recent document, the
 * most-recently-used lists of Explorer and Internet Explorer, and crash
 * dumps and log files.
 *
 * It prints what every call returned, so that the scanners' tests can be
 * checked against what Wine really did.
 *
 * Build: x86_64-w64-mingw32-gcc -O1 -Wall -o privacy_traces.exe
 *        privacy_traces.c -lwininet -lshell32 -ladvapi32
 * Run:   WINEPREFIX=... wine64 privacy_traces.exe
 */
#include <windows.h>
#include <wininet.h>
#include <shellapi.h>
#include <shlobj.h>
#include <stdio.h>
#include <string.h>

static int failures;

static void report(const char *what, BOOL ok)
{
    if (ok)
        printf("%s: ok\n", what);
    else {
        printf("%s: FAILED, error %lu\n", what, GetLastError());
        failures++;
    }
}

static void report_status(const char *what, LONG status)
{
    if (status == ERROR_SUCCESS)
        printf("%s: ok\n", what);
    else {
        printf("%s: FAILED, status %ld\n", what, status);
        failures++;
    }
}

/* Creates every folder of a path that does not exist yet, and says which
 * it made and which were there. */
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
            else if (GetLastError() == ERROR_ALREADY_EXISTS)
                printf("CreateDirectoryA(%s): already there\n", buf);
            else {
                printf("CreateDirectoryA(%s): FAILED, error %lu\n", buf, GetLastError());
                failures++;
            }
            buf[i] = c;
        }
        if (c == '\0')
            break;
    }
}

/* Writes a file whole through CreateFileA, making its folder first. */
static void write_file(const char *path, const void *data, DWORD size, DWORD disposition)
{
    char folder[MAX_PATH];
    char *slash;
    HANDLE h;
    DWORD written = 0;
    BOOL ok;

    snprintf(folder, sizeof folder, "%s", path);
    slash = strrchr(folder, '\\');
    if (slash && slash - folder > 2) {
        *slash = '\0';
        make_folders(folder);
    }
    h = CreateFileA(path, GENERIC_WRITE, 0, NULL, disposition, FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE) {
        printf("CreateFileA(%s): FAILED, error %lu\n", path, GetLastError());
        failures++;
        return;
    }
    printf("CreateFileA(%s): ok, last error after it %lu%s\n", path, GetLastError(),
           GetLastError() == ERROR_ALREADY_EXISTS ? " (the file was already there)" : "");
    ok = WriteFile(h, data, size, &written, NULL);
    printf("  WriteFile: %s, %lu bytes\n", ok ? "ok" : "FAILED", written);
    if (!ok)
        failures++;
    CloseHandle(h);
}

static void write_text(const char *path, const char *text)
{
    write_file(path, text, (DWORD)strlen(text), CREATE_ALWAYS);
}

/* What a path names now: its long name as the file system spells it. */
static void show_long_name(const char *path)
{
    char long_name[MAX_PATH];
    DWORD n = GetLongPathNameA(path, long_name, sizeof long_name);
    if (n && n < sizeof long_name)
        printf("  GetLongPathNameA(%s) = %s\n", path, long_name);
    else
        printf("  GetLongPathNameA(%s): error %lu\n", path, GetLastError());
}

/* ---- wininet ---------------------------------------------------------- */

static void set_cookie(const char *url, const char *name, const char *data)
{
    char what[512];
    BOOL ok = InternetSetCookieA(url, name, data);
    snprintf(what, sizeof what, "InternetSetCookieA(%s, %s, \"%s\")", url, name ? name : "NULL", data);
    report(what, ok);
}

static void show_cookie(const char *url)
{
    char buf[2048];
    DWORD size = sizeof buf;
    if (InternetGetCookieA(url, NULL, buf, &size))
        printf("  InternetGetCookieA(%s) = \"%s\"\n", url, buf);
    else
        printf("  InternetGetCookieA(%s): error %lu\n", url, GetLastError());
}

static void cache_entry(const char *url, const char *extension, const char *body)
{
    char file[MAX_PATH] = "";
    char what[512];
    static const char headers[] = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n";
    FILETIME expires = {0}, modified = {0};
    HANDLE h;
    DWORD written = 0;
    BOOL ok;

    ok = CreateUrlCacheEntryA(url, (DWORD)strlen(body), extension, file, 0);
    snprintf(what, sizeof what, "CreateUrlCacheEntryA(%s, \"%s\")", url, extension);
    report(what, ok);
    if (!ok)
        return;
    printf("  file: %s\n", file);
    h = CreateFileA(file, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE) {
        printf("  CreateFileA(%s): FAILED, error %lu\n", file, GetLastError());
        failures++;
        return;
    }
    WriteFile(h, body, (DWORD)strlen(body), &written, NULL);
    CloseHandle(h);
    printf("  wrote %lu bytes\n", written);

    ok = CommitUrlCacheEntryA(url, file, expires, modified, NORMAL_CACHE_ENTRY,
                              (BYTE *)headers, (DWORD)strlen(headers), extension, NULL);
    snprintf(what, sizeof what, "CommitUrlCacheEntryA(%s)", url);
    report(what, ok);
}

static void show_cache_entry(const char *url)
{
    char buf[4096];
    INTERNET_CACHE_ENTRY_INFOA *info = (INTERNET_CACHE_ENTRY_INFOA *)buf;
    DWORD size = sizeof buf;
    if (GetUrlCacheEntryInfoA(url, info, &size))
        printf("  GetUrlCacheEntryInfoA(%s): local file %s, size %lu\n", url,
               info->lpszLocalFileName ? info->lpszLocalFileName : "(none)", info->dwSizeLow);
    else
        printf("  GetUrlCacheEntryInfoA(%s): error %lu\n", url, GetLastError());
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

static void set_string(HKEY root, const char *root_name, const char *path,
                       const char *name, const char *value)
{
    char what[1024];
    HKEY key = create_key(root, root_name, path);
    LONG status;
    if (!key)
        return;
    status = RegSetValueExA(key, name, 0, REG_SZ, (const BYTE *)value, (DWORD)strlen(value) + 1);
    snprintf(what, sizeof what, "  RegSetValueExA(\"%s\" = \"%s\")", name ? name : "", value);
    report_status(what, status);
    RegCloseKey(key);
}

#define HKCU_ HKEY_CURRENT_USER, "HKCU"
#define HKLM_ HKEY_LOCAL_MACHINE, "HKLM"
#define EXPLORER "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer"

static void seed_registry(void)
{
    set_string(HKCU_, "Software\\Microsoft\\Internet Explorer\\TypedURLs", "url1", "http://www.plainsite.org/");
    set_string(HKCU_, "Software\\Microsoft\\Internet Explorer\\TypedURLs", "url2", "http://ads.example.com/banner");
    set_string(HKCU_, "Software\\Microsoft\\Internet Explorer\\TypedURLs", "url3", "http://www.example.net/news/today.html");

    set_string(HKCU_, EXPLORER "\\RunMRU", "a", "notepad\\1");
    set_string(HKCU_, EXPLORER "\\RunMRU", "b", "cmd /c dir C:\\Docs\\1");
    set_string(HKCU_, EXPLORER "\\RunMRU", "MRUList", "ba");

    set_string(HKCU_, "Software\\Microsoft\\Internet Explorer", "Download Directory", "C:\\Docs\\Downloads");
    set_string(HKCU_, "Software\\Microsoft\\Internet Explorer\\Main", "Save Directory", "C:\\Docs\\Saved\\");

    set_string(HKCU_, "Software\\Microsoft\\Search Assistant\\ACMru\\5603", "000", "secret plans");
    set_string(HKCU_, "Software\\Microsoft\\Search Assistant\\ACMru\\5603", "001", "old.txt");
    set_string(HKCU_, "Software\\Microsoft\\Search Assistant\\ACMru\\5604", "000", "budget");

    set_string(HKCU_, EXPLORER "\\ComDlg32\\OpenSaveMRU", "a", "C:\\Docs\\report.doc");
    set_string(HKCU_, EXPLORER "\\ComDlg32\\OpenSaveMRU", "b", "C:\\Docs\\notes.txt");
    set_string(HKCU_, EXPLORER "\\ComDlg32\\OpenSaveMRU", "MRUList", "ba");
    set_string(HKCU_, EXPLORER "\\ComDlg32\\OpenSaveMRU\\txt", "a", "C:\\Docs\\notes.txt");
    set_string(HKCU_, EXPLORER "\\ComDlg32\\OpenSaveMRU\\txt", "b", "C:\\Docs\\todo.txt");
    set_string(HKCU_, EXPLORER "\\ComDlg32\\OpenSaveMRU\\txt", "MRUList", "ab");

    set_string(HKCU_, EXPLORER "\\Map Network Drive MRU", "a", "\\\\fileserver\\share");
    set_string(HKCU_, EXPLORER "\\Map Network Drive MRU", "MRUList", "a");

    set_string(HKCU_, EXPLORER "\\ComputerDescriptions", "FILESERVER", "The office file server");

    set_string(HKCU_, "Software\\Microsoft\\Direct3D\\MostRecentApplication", "Name", "game.exe");
    set_string(HKLM_, "Software\\Microsoft\\Direct3D\\MostRecentApplication", "Name", "game.exe");
    set_string(HKLM_, "Software\\Microsoft\\DirectDraw\\MostRecentApplication", "Name", "oldgame.exe");
}

/* ---- files -------------------------------------------------------------- */

static void temp_file(const char *folder)
{
    char name[MAX_PATH] = "";
    UINT unique = GetTempFileNameA(folder, "kst", 0, name);
    if (unique) {
        printf("GetTempFileNameA(%s, \"kst\", 0) = %u: %s\n", folder, unique, name);
        show_long_name(name);
    } else {
        printf("GetTempFileNameA(%s, \"kst\", 0): FAILED, error %lu\n", folder, GetLastError());
        failures++;
    }
}

static void delete_to_recycle_bin(const char *paths /* double-zero terminated */, const char *what)
{
    SHFILEOPSTRUCTA op;
    int status;
    memset(&op, 0, sizeof op);
    op.wFunc = FO_DELETE;
    op.pFrom = paths;
    op.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT;
    status = SHFileOperationA(&op);
    printf("SHFileOperationA(FO_DELETE, %s, FOF_ALLOWUNDO|FOF_NOCONFIRMATION|FOF_SILENT) = %d, "
           "fAnyOperationsAborted=%d\n", what, status, op.fAnyOperationsAborted);
    if (status)
        failures++;
}

static void show_exists(const char *path)
{
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        printf("  %s: gone (error %lu)\n", path, GetLastError());
    else
        printf("  %s: still there, attributes 0x%lx\n", path, attributes);
}

static void show_folder(const char *title, int csidl)
{
    char path[MAX_PATH] = "";
    HRESULT hr = SHGetFolderPathA(NULL, csidl, NULL, SHGFP_TYPE_CURRENT, path);
    printf("SHGetFolderPathA(%s) = 0x%08lx: %s\n", title, (unsigned long)hr, path);
}

static void list_folder(const char *folder)
{
    char pattern[MAX_PATH];
    WIN32_FIND_DATAA data;
    HANDLE h;
    snprintf(pattern, sizeof pattern, "%s\\*", folder);
    h = FindFirstFileA(pattern, &data);
    if (h == INVALID_HANDLE_VALUE) {
        printf("  %s: cannot list, error %lu\n", folder, GetLastError());
        return;
    }
    do {
        if (strcmp(data.cFileName, ".") && strcmp(data.cFileName, ".."))
            printf("  %s\\%s (%lu bytes)\n", folder, data.cFileName, data.nFileSizeLow);
    } while (FindNextFileA(h, &data));
    FindClose(h);
}

int main(void)
{
    char temp[MAX_PATH] = "";
    char recent[MAX_PATH] = "";
    static const char dump[] = "PAGEDU64 a crash dump left by a crash\r\n";

    setvbuf(stdout, NULL, _IONBF, 0);

    printf("== folders\n");
    show_folder("CSIDL_COOKIES", CSIDL_COOKIES);
    show_folder("CSIDL_INTERNET_CACHE", CSIDL_INTERNET_CACHE);
    show_folder("CSIDL_HISTORY", CSIDL_HISTORY);
    show_folder("CSIDL_RECENT", CSIDL_RECENT);
    show_folder("CSIDL_APPDATA", CSIDL_APPDATA);
    show_folder("CSIDL_LOCAL_APPDATA", CSIDL_LOCAL_APPDATA);
    show_folder("CSIDL_BITBUCKET", CSIDL_BITBUCKET);
    GetTempPathA(sizeof temp, temp);
    printf("GetTempPathA() = %s\n", temp);
    show_long_name(temp);

    printf("== cookies\n");
    set_cookie("http://ads.example.com/", "tracker",
               "id=a1b2c3d4; expires=Fri, 31 Dec 2037 23:59:59 GMT; path=/");
    set_cookie("http://ads.example.com/", "seen",
               "3; expires=Fri, 31 Dec 2037 23:59:59 GMT");
    set_cookie("http://www.plainsite.org/", "session",
               "abc123; expires=Thu, 30 Dec 2032 12:00:00 GMT");
    set_cookie("http://www.plainsite.org/shop/cart.html", "cart",
               "item=42; expires=Thu, 30 Dec 2032 12:00:00 GMT; path=/shop");
    set_cookie("http://www.plainsite.org/", "transient", "gone-at-exit");
    show_cookie("http://ads.example.com/");
    show_cookie("http://www.plainsite.org/");
    show_cookie("http://www.plainsite.org/shop/cart.html");

    printf("== cache\n");
    cache_entry("http://www.plainsite.org/index.html", "html",
                "<html><body>plain site</body></html>\n");
    cache_entry("http://ads.example.com/banner.gif", "gif",
                "GIF89a not really an image\n");
    cache_entry("http://www.plainsite.org/shop/cart.html", "htm",
                "<html><body>cart</body></html>\n");
    show_cache_entry("http://www.plainsite.org/index.html");
    show_cache_entry("http://ads.example.com/banner.gif");
    show_cache_entry("http://www.plainsite.org/shop/cart.html");

    printf("== temporary files\n");
    temp_file(temp);
    temp_file(temp);
    temp_file("C:\\windows\\Temp");

    printf("== recycle bin\n");
    write_text("C:\\Docs\\old.txt", "an old document\r\n");
    write_text("C:\\Docs\\Old Folder\\inside.txt", "a file in a deleted folder\r\n");
    delete_to_recycle_bin("C:\\Docs\\old.txt\0", "C:\\Docs\\old.txt");
    show_exists("C:\\Docs\\old.txt");
    delete_to_recycle_bin("C:\\Docs\\Old Folder\0", "C:\\Docs\\Old Folder");
    show_exists("C:\\Docs\\Old Folder");

    printf("== recent documents\n");
    write_text("C:\\Docs\\letter.txt", "Dear reader,\r\n");
    SHAddToRecentDocs(SHARD_PATHA, "C:\\Docs\\letter.txt");
    printf("SHAddToRecentDocs(SHARD_PATHA, C:\\Docs\\letter.txt) called\n");
    SHGetFolderPathA(NULL, CSIDL_RECENT, NULL, SHGFP_TYPE_CURRENT, recent);
    list_folder(recent);

    printf("== registry\n");
    seed_registry();

    printf("== crash dumps and logs\n");
    write_file("C:\\windows\\memory.dmp", dump, sizeof dump - 1, CREATE_ALWAYS);
    write_file("C:\\windows\\Minidump\\a.dmp", "MDMP", 4, CREATE_ALWAYS);
    write_text("C:\\FILE0000.CHK", "lost clusters\r\n");
    write_text("C:\\windows\\setupapi.log", "[SetupAPI Log]\r\n");
    write_text("C:\\windows\\WindowsUpdate.log", "update log\r\n");
    write_text("C:\\windows\\Debug\\passwd.log", "lower-case name\r\n");
    /* Windows names are case-blind: the upper-case name is the file above. */
    {
        HANDLE h = CreateFileA("C:\\windows\\Debug\\PASSWD.LOG", GENERIC_WRITE, 0, NULL,
                               CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
        if (h == INVALID_HANDLE_VALUE)
            printf("CreateFileA(C:\\windows\\Debug\\PASSWD.LOG, CREATE_NEW): error %lu\n",
                   GetLastError());
        else {
            printf("CreateFileA(C:\\windows\\Debug\\PASSWD.LOG, CREATE_NEW): created a second file\n");
            CloseHandle(h);
        }
    }
    show_long_name("C:\\windows\\Debug\\PASSWD.LOG");
    list_folder("C:\\windows\\Debug");
    write_text("C:\\windows\\setuplog.txt", "setup log\r\n");
    write_text("C:\\windows\\system32\\wbem\\Logs\\x.log", "wbem log\r\n");
    write_text("C:\\windows\\security\\logs\\y.old", "old security log\r\n");

    printf("== done, %d failure(s)\n", failures);
    return failures ? 1 : 0;
}

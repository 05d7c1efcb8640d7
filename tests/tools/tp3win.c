/* Stand-in for a Windows console TP3.EXE in tests:  TP3.EXE BASE [/H] /S<hex> /E<hex> /R<errors file>
 *
 * Built by the tests with x86_64-w64-mingw32-gcc and run under Wine. It acts as tests/tools/tp3
 * does, on the same markers in BASE.PAS (found by the Windows file system, so in any letter case):
 *   {WAITFOR:name}                  write the Linux process id to tp3.pid, then wait until a file
 *                                   of that name exists (at most about a minute);
 *   {ERR file,line,col,num,"msg"}   one error record: the text between "{ERR " and the line's
 *                                   last "}"; several lines give several records.
 * With records: writes them, each ended by CR LF, to the errors file, prints a line about the
 * errors and exits 1. Without: writes BASE.CHN (the bytes "CHN:" and then the source), prints
 * a summary whose "Code:", "Free:" and "Data:" lines give the sizes, and exits 0. A missing
 * source gives the record "BASE.pas",0,0,1,"File not found". When TP3_LOG is set, each call
 * appends its arguments, each followed by "|", as one line to tp3calls.txt. */
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

static char source[1 << 20];

/* The Linux process id of this process: Wine opens /proc/self in the process itself. */
static long linuxPid(void)
{
    long pid = 0;
    FILE* stat = fopen("Z:\\proc\\self\\stat", "rb");
    if (stat) {
        if (fscanf(stat, "%ld", &pid) != 1)
            pid = 0;
        fclose(stat);
    }
    return pid ? pid : (long)GetCurrentProcessId();
}

static void waitFor(const char* name)
{
    FILE* pidFile = fopen("tp3.pid.part", "wb");
    if (pidFile) {
        fprintf(pidFile, "%ld\n", linuxPid());
        fclose(pidFile);
        MoveFileExA("tp3.pid.part", "tp3.pid", MOVEFILE_REPLACE_EXISTING);
    }
    for (int i = 0; i < 600 && GetFileAttributesA(name) == INVALID_FILE_ATTRIBUTES; ++i)
        Sleep(100);
}

int main(int argc, char** argv)
{
    _setmode(_fileno(stdout), _O_BINARY);
    if (getenv("TP3_LOG")) {
        FILE* log = fopen("tp3calls.txt", "ab");
        if (log) {
            for (int i = 1; i < argc; ++i)
                fprintf(log, "%s|", argv[i]);
            fputs("\n", log);
            fclose(log);
        }
    }
    if (argc < 2) {
        printf("usage: TP3 BASE [/H] /S<hex> /E<hex> /R<errors file>\r\n");
        return 2;
    }
    const char* base = argv[1];
    unsigned start = 0x2E9B, end = 0xD200;
    const char* errors = "errors.txt";
    for (int i = 2; i < argc; ++i) {
        const char* arg = argv[i];
        const char kind = arg[0] == '/' ? (char)(arg[1] & ~0x20) : 0;
        if (kind == 'H')
            continue;
        if (kind == 'S')
            start = (unsigned)strtoul(arg + 2, NULL, 16);
        else if (kind == 'E')
            end = (unsigned)strtoul(arg + 2, NULL, 16);
        else if (kind == 'R')
            errors = arg + 2;
        else {
            printf("TP3: unknown switch %s\r\n", arg);
            return 2;
        }
    }

    char name[MAX_PATH];
    snprintf(name, sizeof name, "%s.PAS", base);
    FILE* in = fopen(name, "rb");
    if (!in) {
        FILE* out = fopen(errors, "wb");
        if (out) {
            fprintf(out, "\"%s.pas\",0,0,1,\"File not found\"\r\n", base);
            fclose(out);
        }
        printf("TP3: %s not found\r\n", name);
        return 1;
    }
    const size_t size = fread(source, 1, sizeof source - 1, in);
    fclose(in);
    source[size] = 0;

    char* go = strstr(source, "{WAITFOR:");
    if (go) {
        char wanted[MAX_PATH] = {0};
        sscanf(go + 9, "%259[^}]", wanted);
        waitFor(wanted);
    }

    FILE* out = NULL;
    int lines = 0;
    for (char* line = source; *line; ++lines) {
        char* next = strchr(line, '\n');
        size_t length = next ? (size_t)(next - line) : strlen(line);
        while (length > 0 && (line[length - 1] == '\r' || line[length - 1] == ' ' || line[length - 1] == '\t'))
            --length;
        char* record = strstr(line, "{ERR ");
        if (record && record < line + length && line[length - 1] == '}') {
            if (!out && !(out = fopen(errors, "wb"))) {
                printf("TP3: cannot write %s\r\n", errors);
                return 3;
            }
            fwrite(record + 5, 1, (size_t)(line + length - 1 - (record + 5)), out);
            fputs("\r\n", out);
        }
        line = next ? next + 1 : line + strlen(line);
    }
    if (out) {
        fclose(out);
        printf("Compiling %s.PAS: errors\r\n", base);
        return 1;
    }

    snprintf(name, sizeof name, "%s.CHN", base);
    FILE* chain = fopen(name, "wb");
    if (!chain || fwrite("CHN:", 1, 4, chain) != 4 || fwrite(source, 1, size, chain) != size || fclose(chain) != 0) {
        printf("TP3: cannot write %s\r\n", name);
        return 3;
    }
    const unsigned code = (unsigned)size + 4, last = start + code - 1;
    printf("Compiling  --> %s\r\n%7d lines\r\n\r\n", name, lines);
    printf("Code: %u bytes (%04X-%04X)\r\n", code, start, last);
    printf("Free: %u bytes (%04X-%04X)\r\n", end - last - 1, last + 1, end - 1);
    printf("Data: %u bytes (%04X-%04X)\r\n", 0u, end, end);
    return 0;
}

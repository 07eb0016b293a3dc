// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
/* Answers profile-function questions on a Windows system (or Wine) for the settings-file
 * comparison. Reads commands, one a line, from the file named first on the command line and
 * prints one answer line for each. Every text is hex-encoded bytes:
 *   R A <path> <section> <key> <default>   read with GetPrivateProfileStringA, 2048-char buffer
 *   R W <path> <section> <key> <default>   the same with the W function (texts in UTF-8)
 *   W A <path> <section> <key> <value>     write with WritePrivateProfileStringA
 *   W W <path> <section> <key> <value>     the same with the W function (texts in UTF-8)
 * Answers: "<count> <hex>" for a read, "1" or "0" for a write. The first line is the ANSI
 * code page. */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static char *unhex(const char *text)
{
    size_t length = strlen(text) / 2;
    char *bytes = malloc(length + 1);
    for (size_t i = 0; i < length; ++i) {
        unsigned value = 0;
        sscanf(text + 2 * i, "%2x", &value);
        bytes[i] = (char)value;
    }
    bytes[length] = 0;
    return bytes;
}

static WCHAR *widen(const char *utf8)
{
    int length = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, NULL, 0);
    WCHAR *wide = malloc(sizeof(WCHAR) * (length + 1));
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, length);
    return wide;
}

static void print_hex(const char *bytes, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        printf("%02x", (unsigned char)bytes[i]);
    }
}

int main(int argc, char **argv)
{
    static char line[1 << 20];
    FILE *commands = argc > 1 ? fopen(argv[1], "rb") : NULL;
    if (!commands) {
        return 2;
    }
    printf("%u\n", GetACP());
    while (fgets(line, sizeof line, commands)) {
        char op[4], kind[4];
        static char path[1 << 12], section[1 << 12], key[1 << 12], third[1 << 19];
        if (sscanf(line, "%3s %3s %4095s %4095s %4095s %524287s", op, kind, path, section, key, third) != 6) {
            printf("? bad command\n");
            continue;
        }
        char *p = unhex(path), *s = unhex(section), *k = unhex(key), *t = unhex(third);
        if (op[0] == 'R' && kind[0] == 'A') {
            char buffer[2048];
            memset(buffer, ' ', sizeof buffer);
            DWORD count = GetPrivateProfileStringA(s, k, t, buffer, sizeof buffer, p);
            printf("%lu ", (unsigned long)count);
            print_hex(buffer, count);
            printf("\n");
        } else if (op[0] == 'R') {
            WCHAR buffer[2048];
            WCHAR *wp = widen(p), *ws = widen(s), *wk = widen(k), *wt = widen(t);
            DWORD count = GetPrivateProfileStringW(ws, wk, wt, buffer, 2048, wp);
            static char utf8[4 * 2048];
            int length = WideCharToMultiByte(CP_UTF8, 0, buffer, (int)count, utf8, sizeof utf8, NULL, NULL);
            printf("%lu ", (unsigned long)count);
            print_hex(utf8, (size_t)length);
            printf("\n");
        } else if (kind[0] == 'A') {
            printf("%d\n", WritePrivateProfileStringA(s, k, t, p) ? 1 : 0);
        } else {
            WCHAR *wp = widen(p), *ws = widen(s), *wk = widen(k), *wt = widen(t);
            printf("%d\n", WritePrivateProfileStringW(ws, wk, wt, wp) ? 1 : 0);
        }
        fflush(stdout);
    }
    return 0;
}

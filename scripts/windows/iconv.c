/* iconv for FreeXL in the Windows build (see iconv.h): a workbook's texts, in its code page or in
 * UTF-16LE, become UTF-8 through the system's own conversions, by way of UTF-16. */
#include "iconv.h"

#include <errno.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

/* Windows numbers UTF-16LE 1200, though its conversion functions do not take that number. */
#define UTF16LE 1200u

struct windows_iconv {
    unsigned from;
};

/* The code page a name stands for, or 0. */
static unsigned code_page(const char *name) {
    if (_stricmp(name, "UTF-8") == 0 || _stricmp(name, "UTF8") == 0)
        return CP_UTF8;
    if (_stricmp(name, "UTF-16LE") == 0)
        return UTF16LE;
    if (_stricmp(name, "ASCII") == 0 || _stricmp(name, "US-ASCII") == 0)
        return 20127;
    if (_stricmp(name, "MacRoman") == 0)
        return 10000;
    if (_strnicmp(name, "CP", 2) != 0 || name[2] < '1' || name[2] > '9')
        return 0;
    char *end = NULL;
    const unsigned long number = strtoul(name + 2, &end, 10);
    if (*end != '\0' || number > 65535)
        return 0;
    if (number == UTF16LE)
        return UTF16LE;
    return IsValidCodePage((UINT)number) ? (unsigned)number : 0;
}

/* The code pages whose conversion refuses MB_ERR_INVALID_CHARS; on them invalid input goes
 * through as the system decodes it. */
static int takes_no_flags(unsigned cp) {
    return cp == 42 || (cp >= 50220 && cp <= 50229) || (cp >= 57002 && cp <= 57011) ||
           cp == CP_UTF7;
}

iconv_t iconv_open(const char *tocode, const char *fromcode) {
    const unsigned from = code_page(fromcode);
    if (code_page(tocode) != CP_UTF8 || from == 0) {
        errno = EINVAL;
        return (iconv_t)-1;
    }
    iconv_t cd = malloc(sizeof *cd);
    if (!cd) {
        errno = ENOMEM;
        return (iconv_t)-1;
    }
    cd->from = from;
    return cd;
}

static size_t fail(int error, wchar_t *wide) {
    free(wide);
    errno = error;
    return (size_t)-1;
}

size_t iconv(iconv_t cd, char **inbuf, size_t *inbytesleft, char **outbuf, size_t *outbytesleft) {
    /* No shift state to reset or to write out. */
    if (!inbuf || !*inbuf || *inbytesleft == 0)
        return 0;
    /* More than the system's functions take in one call. */
    if (*inbytesleft > INT_MAX)
        return fail(E2BIG, NULL);
    const int in_length = (int)*inbytesleft;
    wchar_t *wide = NULL;
    int wide_length = 0;
    if (cd->from == UTF16LE) {
        if (in_length % 2 != 0)
            return fail(EINVAL, NULL);
        wide_length = in_length / 2;
        /* A copy, since the input may lie at an odd address. */
        wide = malloc((size_t)in_length);
        if (!wide)
            return fail(ENOMEM, NULL);
        memcpy(wide, *inbuf, (size_t)in_length);
    } else {
        const DWORD flags = takes_no_flags(cd->from) ? 0 : MB_ERR_INVALID_CHARS;
        wide_length = MultiByteToWideChar(cd->from, flags, *inbuf, in_length, NULL, 0);
        if (wide_length == 0)
            return fail(EILSEQ, NULL);
        wide = malloc((size_t)wide_length * sizeof *wide);
        if (!wide)
            return fail(ENOMEM, NULL);
        MultiByteToWideChar(cd->from, flags, *inbuf, in_length, wide, wide_length);
    }
    /* Half a surrogate pair is no text: refused, as a UTF-8 encoder must. */
    const int out_length = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide, wide_length,
                                               NULL, 0, NULL, NULL);
    if (out_length == 0)
        return fail(EILSEQ, wide);
    if ((size_t)out_length > *outbytesleft)
        return fail(E2BIG, wide);
    WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide, wide_length, *outbuf, out_length,
                        NULL, NULL);
    free(wide);
    *inbuf += in_length;
    *inbytesleft = 0;
    *outbuf += out_length;
    *outbytesleft -= (size_t)out_length;
    return 0;
}

int iconv_close(iconv_t cd) {
    free(cd);
    return 0;
}

/* The part of iconv that FreeXL uses, over the Windows code page API (iconv.c beside it): the
 * Windows build has no iconv of its own. */
#ifndef WINDOWS_ICONV_H
#define WINDOWS_ICONV_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct windows_iconv *iconv_t;

/* To "UTF-8" only; from "UTF-8", "UTF-16LE", "ASCII", "MacRoman" or "CP" and a Windows code
 * page's number ("CP936", "CP1252"), in any case. Other names, and code pages the system lacks,
 * give (iconv_t)-1 with errno EINVAL. */
iconv_t iconv_open(const char *tocode, const char *fromcode);

/* Converts the whole input of a call, or nothing: no state is kept between calls, so a character
 * must not be split across two of them. Errors: EILSEQ for input that is not text of its code
 * page, EINVAL for UTF-16 input of an odd length, E2BIG when the output does not fit. Returns 0
 * on success. */
size_t iconv(iconv_t cd, char **inbuf, size_t *inbytesleft, char **outbuf, size_t *outbytesleft);

int iconv_close(iconv_t cd);

#ifdef __cplusplus
}
#endif

#endif

/* The PDF engine's C interface. Handles of documents, pages, fonts and images are
 * integers, -1 meaning none or failure. Lengths are PDF points with the origin at the
 * bottom left. A len of 0 means a NUL-terminated text. Failures follow the error
 * protocol of pdfengine/README.md: fatal ones call the error handler given to
 * PDF_new2 (which may throw), non-fatal ones only record the error and return -1. */
#ifndef QUILLON_PDF_API_H
#define QUILLON_PDF_API_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct PDF_s PDF;

/* Error types passed to the error handler. */
#define PDF_MemoryError 1
#define PDF_IOError 2
#define PDF_RuntimeError 3
#define PDF_IndexError 4
#define PDF_TypeError 5
#define PDF_SyntaxError 8
#define PDF_ValueError 9
#define PDF_SystemError 10
#define PDF_UnknownError 12

typedef void (*PDF_errorhandler)(PDF *p, int errortype, const char *msg);

PDF *PDF_new(void);
PDF *PDF_new2(PDF_errorhandler errorhandler, void *(*allocproc)(PDF *, size_t, const char *),
              void *(*reallocproc)(PDF *, void *, size_t, const char *), void (*freeproc)(PDF *, void *),
              void *opaque);
void PDF_delete(PDF *p);
const char *PDF_get_string(PDF *p, int idx, const char *optlist);
int PDF_get_errnum(PDF *p);
const char *PDF_get_errmsg(PDF *p);
const char *PDF_get_apiname(PDF *p);

void PDF_set_option(PDF *p, const char *optlist);
void PDF_set_parameter(PDF *p, const char *key, const char *value);
void PDF_set_info(PDF *p, const char *key, const char *value);

int PDF_begin_document(PDF *p, const char *filename, int len, const char *optlist);
void PDF_end_document(PDF *p, const char *optlist);
const char *PDF_get_buffer(PDF *p, long *size);
void PDF_begin_page_ext(PDF *p, double width, double height, const char *optlist);
void PDF_end_page_ext(PDF *p, const char *optlist);

int PDF_open_pdi_document(PDF *p, const char *filename, int len, const char *optlist);
int PDF_open_pdi_page(PDF *p, int doc, int pagenumber, const char *optlist);
void PDF_close_pdi_document(PDF *p, int doc);
void PDF_close_pdi_page(PDF *p, int page);
void PDF_fit_pdi_page(PDF *p, int page, double x, double y, const char *optlist);
int PDF_process_pdi(PDF *p, int doc, int page, const char *optlist);
double PDF_pcos_get_number(PDF *p, int doc, const char *pathfmt, ...);
const char *PDF_pcos_get_string(PDF *p, int doc, const char *pathfmt, ...);
const unsigned char *PDF_pcos_get_stream(PDF *p, int doc, int *length, const char *optlist,
                                         const char *pathfmt, ...);

int PDF_fill_textblock(PDF *p, int page, const char *blockname, const char *text, int len,
                       const char *optlist);
int PDF_load_image(PDF *p, const char *imagetype, const char *filename, int len, const char *optlist);
int PDF_fill_imageblock(PDF *p, int page, const char *blockname, int image, const char *optlist);
void PDF_close_image(PDF *p, int image);
void PDF_create_fieldgroup(PDF *p, const char *name, int len, const char *optlist);
void PDF_create_field(PDF *p, double llx, double lly, double urx, double ury, const char *name, int len,
                      const char *type, const char *optlist);

void PDF_setlinewidth(PDF *p, double width);
void PDF_set_graphics_option(PDF *p, const char *optlist);
void PDF_setcolor(PDF *p, const char *fstype, const char *colorspace, double c1, double c2, double c3,
                  double c4);
void PDF_moveto(PDF *p, double x, double y);
void PDF_lineto(PDF *p, double x, double y);
void PDF_rect(PDF *p, double x, double y, double width, double height);
void PDF_stroke(PDF *p);
void PDF_fill(PDF *p);
void PDF_fill_stroke(PDF *p);
void PDF_closepath(PDF *p);
void PDF_save(PDF *p);
void PDF_restore(PDF *p);

int PDF_load_font(PDF *p, const char *fontname, int len, const char *encoding, const char *optlist);
void PDF_setfont(PDF *p, int font, double fontsize);
void PDF_set_text_option(PDF *p, const char *optlist);
void PDF_set_text_pos(PDF *p, double x, double y);
void PDF_show(PDF *p, const char *text);
void PDF_show2(PDF *p, const char *text, int len);
double PDF_stringwidth(PDF *p, const char *text, int font, double fontsize);
void PDF_fit_textline(PDF *p, const char *text, int len, double x, double y, const char *optlist);

#ifdef __cplusplus
}
#endif

#endif /* QUILLON_PDF_API_H */

/* The engine's C interface used from C: the header compiles as C and every
 * function the engine implements so far is called at least once. Exits with
 * the number of failed checks. */
#include <stdio.h>
#include <string.h>

#include "pdfengine/pdf_api.h"

static int failures = 0;
static int handlerCalls = 0;
static int lastType = 0;

#define CHECK(condition)                                                            \
    do {                                                                            \
        if (!(condition)) {                                                         \
            fprintf(stderr, "%s:%d: failed: %s\n", __FILE__, __LINE__, #condition); \
            ++failures;                                                             \
        }                                                                           \
    } while (0)

/* A C handler cannot throw: it notes the error and the call returns. */
static void noteError(PDF* p, int type, const char* message)
{
    (void)p;
    (void)message;
    ++handlerCalls;
    lastType = type;
}

int main(void)
{
    PDF* p = PDF_new();
    long size = 0;
    const char* bytes;

    CHECK(p != NULL);
    CHECK(strlen(PDF_get_string(p, 0, "version")) > 0);
    PDF_delete(p);

    p = PDF_new2(noteError, NULL, NULL, NULL, NULL);
    CHECK(p != NULL);
    PDF_set_option(p, "hypertextencoding=winansi errorpolicy=exception");
    PDF_set_parameter(p, "SearchPath", "/tmp");

    CHECK(PDF_begin_document(p, "", 0, "compatibility=1.6 masterpassword=m permissions={nocopy}") == 1);
    PDF_set_info(p, "Title", "C test \xE9");
    PDF_begin_page_ext(p, 595.0, 842.0, "");
    PDF_setlinewidth(p, 2.5);
    PDF_set_graphics_option(p, "linecap=1 linejoin=1 dasharray={4 2} miterlimit=3");
    PDF_setcolor(p, "stroke", "rgb", 1.0, 0.0, 0.0, 0.0);
    PDF_setcolor(p, "fill", "cmyk", 0.0, 0.5, 1.0, 0.0);
    PDF_save(p);
    PDF_moveto(p, 10.0, 10.0);
    PDF_lineto(p, 100.0, 100.0);
    PDF_closepath(p);
    PDF_stroke(p);
    PDF_rect(p, 20.0, 20.0, 50.0, 30.0);
    PDF_fill(p);
    PDF_rect(p, 120.0, 20.0, 50.0, 30.0);
    PDF_fill_stroke(p);
    PDF_restore(p);
    PDF_end_page_ext(p, "");
    PDF_end_document(p, "");
    CHECK(handlerCalls == 0);

    bytes = PDF_get_buffer(p, &size);
    CHECK(size > 200);
    CHECK(bytes != NULL && memcmp(bytes, "%PDF-1.6", 8) == 0);
    CHECK(bytes != NULL && memcmp(bytes + size - 6, "%%EOF\n", 6) == 0);

    /* A fatal error reaches the handler and stays readable. */
    PDF_moveto(p, 1.0, 1.0);
    CHECK(handlerCalls == 1);
    CHECK(lastType == PDF_RuntimeError);
    CHECK(PDF_get_errnum(p) == 3001);
    CHECK(strcmp(PDF_get_errmsg(p), "Function 'PDF_moveto' must not be called in 'object' scope") == 0);
    CHECK(strcmp(PDF_get_apiname(p), "PDF_moveto") == 0);

    /* errorpolicy=return: a file that cannot be created gives -1 quietly. */
    /* A missing image is a non-fatal failure; closing its -1 handle is fatal. */
    CHECK(PDF_load_image(p, "auto", "/nonexistent-folder/x.png", 0, "") == -1);
    CHECK(handlerCalls == 1);
    CHECK(PDF_get_errnum(p) == 2301);
    PDF_close_image(p, -1);
    CHECK(handlerCalls == 2);
    CHECK(lastType == PDF_IndexError);

    PDF_set_option(p, "errorpolicy=return");
    CHECK(PDF_begin_document(p, "/nonexistent-folder/x.pdf", 0, "") == -1);
    CHECK(handlerCalls == 2);
    CHECK(PDF_get_errnum(p) == 2001);

    PDF_delete(p);
    if (failures == 0)
        printf("all C API checks passed\n");
    return failures;
}

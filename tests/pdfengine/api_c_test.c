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

static const char* const importName = "api_c_test_import.pdf";

/* Imports the first page of importName (595 x 842, protected by the master
 * password "m") into a new document and queries it. */
static void importPages(PDF* p)
{
    int doc, page, length = -1;
    const unsigned char* stream;
    long size = 0;

    doc = PDF_open_pdi_document(p, importName, 0, "password=m");
    CHECK(doc >= 1);
    CHECK(PDF_pcos_get_number(p, doc, "length:pages") == 1.0);
    CHECK(PDF_pcos_get_number(p, doc, "pages[%d]/%s", 0, "width") == 595.0);
    CHECK(strcmp(PDF_pcos_get_string(p, doc, "/Info/%s", "Producer"), "") != 0);
    stream = PDF_pcos_get_stream(p, doc, &length, "", "pages[0]/Contents");
    CHECK(stream != NULL && length > 10);
    page = PDF_open_pdi_page(p, doc, 1, "pdiusebox=crop");
    CHECK(page >= 1);
    CHECK(PDF_open_pdi_page(p, doc, 2, "") == -1);
    CHECK(PDF_get_errnum(p) == 4103);

    CHECK(PDF_begin_document(p, "", 0, "") == 1);
    CHECK(PDF_process_pdi(p, doc, -1, "action=copyoutputintent") == 1);
    PDF_begin_page_ext(p, 100.0, 100.0, "");
    PDF_fit_pdi_page(p, page, 0.0, 0.0, "adjustpage");
    PDF_fit_pdi_page(p, page, 10.0, 10.0, "scale=0.5 rotate=90");
    PDF_end_page_ext(p, "");
    PDF_close_pdi_page(p, page);
    PDF_close_pdi_document(p, doc);
    PDF_end_document(p, "");
    CHECK(handlerCalls == 0);
    CHECK(PDF_get_buffer(p, &size) != NULL && size > 200);
    remove(importName);

    /* An imported document that cannot be opened gives -1 without the handler. */
    CHECK(PDF_open_pdi_document(p, importName, 0, "") == -1);
    CHECK(handlerCalls == 0);
    CHECK(PDF_get_errnum(p) == 2201);
}

int main(void)
{
    PDF* p = PDF_new();
    long size = 0;
    const char* bytes;
    int font;
    int japanese;
    double width;

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

    /* Text: a standard font, a Japanese one, fitting and measuring. */
    font = PDF_load_font(p, "Helvetica", 0, "winansi", "");
    CHECK(font >= 0);
    CHECK(PDF_load_font(p, "Helvetica", 9, "winansi", "embedding=false") == font);
    japanese = PDF_load_font(p, "HeiseiMin-W3", 0, "UniJIS-UCS2-H", "");
    CHECK(japanese >= 0 && japanese != font);
    PDF_setfont(p, font, 12.0);
    PDF_set_text_option(p, "charspacing=0.5 wordspacing=1 horizscaling=95");
    PDF_set_text_pos(p, 50.0, 700.0);
    PDF_show(p, "Caf\xE9");
    PDF_setfont(p, japanese, 10.0);
    PDF_show2(p, "\x65\xE5\x67\x2C", 4);
    width = PDF_stringwidth(p, "Hello", font, 10.0);
    CHECK(width > 20.0 && width < 30.0);
    PDF_fit_textline(p, "Boxed", 0, 100.0, 600.0, "boxsize={100 20} position={50 50} fitmethod=auto");
    CHECK(PDF_load_font(p, "NoSuchFont", 0, "winansi", "") == -1);
    CHECK(PDF_get_errnum(p) == 2301);
    CHECK(handlerCalls == 0);

    PDF_end_page_ext(p, "");
    PDF_end_document(p, "");
    CHECK(handlerCalls == 0);

    bytes = PDF_get_buffer(p, &size);
    CHECK(size > 200);
    CHECK(bytes != NULL && memcmp(bytes, "%PDF-1.6", 8) == 0);
    CHECK(bytes != NULL && memcmp(bytes + size - 6, "%%EOF\n", 6) == 0);

    /* The document just made, imported into the next one. */
    if (bytes != NULL && size > 0) {
        FILE* file = fopen(importName, "wb");
        CHECK(file != NULL);
        if (file) {
            CHECK(fwrite(bytes, 1, (size_t)size, file) == (size_t)size);
            fclose(file);
        }
    }
    importPages(p);

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
    CHECK(PDF_get_errnum(p) == 2401);
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

// The engine's own version, reported by PDF_get_string(p, 0, "version").
#pragma once

#define PDFENGINE_VERSION "1.0.0"

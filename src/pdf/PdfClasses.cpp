#include "pdf/PdfClasses.h"

#include "pdf/PdfImages.h"
#include "pdf/PdfStandardFonts.h"

void RegisterPdfClasses() {
    RegisterStandardFonts();
    RegisterImageCreators();
}

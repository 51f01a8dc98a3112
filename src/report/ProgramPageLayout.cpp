#include "report/ProgramPageLayout.h"

TProgramPageLayout::TProgramPageLayout() {
    pagina.SetName("pagina");
    pagina.SetMarginTop(1);
    pagina.SetMarginLeft(1);
    pagina.SetMarginRight(1);
    pagina.SetMarginBottom(1);
    PRGridPanel1.SetName("PRGridPanel1");
    PRGridPanel1.SetParent(&pagina);
    PRGridPanel1.SetAlign(alClient);
    PRJpegImage1.SetName("PRJpegImage1");
    PRJpegImage1.SetParent(&PRGridPanel1);
    PRJpegImage1.SetAlign(alClient);
}

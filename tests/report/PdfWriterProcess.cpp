// A program that files one document, for tests that kill it part way:
//   pdf_writer_process <target.pdf> <page.jpg> <pages>
// It writes the pages with the program's layout, replacing the target, and cleans up any
// temporary file a killed writer left, whatever its age.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "pdf/PdfClasses.h"
#include "platform/graphics/TemporaryFile.h"
#include "report/ProgramPageLayout.h"
#include "report/TPReport.h"

int main(int argc, char** argv) {
    if (argc != 4) return 2;
    try {
        RegisterPdfClasses();
        brevanto::graphics::setStaleTemporaryAge(std::chrono::seconds(0));
        TProgramPageLayout layout;
        TPReport report;
        report.SetFileName(argv[1]);
        report.OpenDoc();
        for (int page = 0; page < std::atoi(argv[3]); ++page) {
            layout.PRJpegImage1.SetSharedImage(false);
            layout.PRJpegImage1.Picture().loadFromFile(argv[2]);
            report.PrintPage(layout.pagina);
        }
        report.CloseDoc();
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}

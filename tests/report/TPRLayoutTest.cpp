#include <stdexcept>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ReportFixtures.h"
#include "pdf/PdfDoc.h"
#include "pdf/PdfNumber.h"
#include "pdf/PdfStream.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/JpegImage.h"
#include "report/ReportErrors.h"
#include "report/TPRImage.h"
#include "report/TPReport.h"

using testing::HasSubstr;

namespace {

std::string messageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(no error)";
}

// Something that is neither a page nor a panel, as a form would be.
class TForm1 : public TControl {
  public:
    TForm1() : TControl(901, 660) {}
    std::string ClassName() const override { return "TForm1"; }
    bool Windowed() const override { return true; }
};

}  // namespace

TEST(TPRLayout, ClientAlignedGridPanelFillsThePageInsideMarginsAndFrame) {
    TProgramPageLayout layout;
    EXPECT_EQ(layout.PRGridPanel1.BoundsRect(), (TRect{2, 2, 594, 840}));
    EXPECT_EQ(layout.PRGridPanel1.ChildPanel().BoundsRect(), (TRect{0, 0, 592, 838}));
    EXPECT_EQ(layout.PRJpegImage1.Parent(), &layout.PRGridPanel1.ChildPanel());
    EXPECT_EQ(layout.PRJpegImage1.BoundsRect(), (TRect{0, 0, 592, 838}));

    TPRPage page;  // margins 32 when created
    TPRGridPanel grid;
    grid.SetParent(&page);
    grid.SetAlign(alClient);
    EXPECT_EQ(grid.BoundsRect(), (TRect{33, 33, 563, 809}));
}

TEST(TPRLayout, MarginsOutsideHalfTheWidthAreIgnored) {
    TPRPage page;
    page.SetMarginTop(298);
    EXPECT_EQ(page.MarginTop(), 32);
    page.SetMarginTop(297);
    EXPECT_EQ(page.MarginTop(), 297);
    page.SetHeight(400);
    page.SetMarginBottom(297);  // the bound is half the width, even for top and bottom
    EXPECT_EQ(page.MarginBottom(), 297);
    page.SetMarginLeft(-1);
    EXPECT_EQ(page.MarginLeft(), 32);
}

TEST(TPRLayout, CellCountsKeepCellsAtLeastTenUnits) {
    TPRGridPanel grid;
    grid.SetBounds(0, 0, 100, 100);
    EXPECT_EQ(messageOf([&] { grid.SetColCount(11); }), "invalid colcount");
    EXPECT_EQ(messageOf([&] { grid.SetColCount(0); }), "invalid colcount");
    EXPECT_EQ(grid.ColCount(), 1);
    grid.SetColCount(10);
    EXPECT_EQ(grid.ColCount(), 10);
    EXPECT_EQ(messageOf([&] { grid.SetRowCount(-2); }), "invalid rowcount");
    grid.SetRowCount(4);
    // Client-aligned contents take the top-left cell.
    EXPECT_EQ(grid.ChildPanel().BoundsRect(), (TRect{0, 0, 10, 25}));
}

TEST(TPRLayout, ParentsAreChecked) {
    TForm1 form;
    TPRPage page;
    TPRPanel panel;
    TPRGridPanel grid;
    TPRImage item;

    EXPECT_EQ(messageOf([&] { item.SetParent(&page); }), "this component must set on TPRPanel");
    EXPECT_EQ(messageOf([&] { item.SetParent(&form); }), "this component must set on TPRPanel");
    EXPECT_EQ(item.Parent(), nullptr);
    EXPECT_EQ(messageOf([&] { grid.SetParent(&form); }), "TPRPage can not set on TForm1");
    EXPECT_EQ(grid.Parent(), nullptr);

    grid.SetParent(&page);
    item.SetParent(&grid);
    EXPECT_EQ(item.Parent(), &grid.ChildPanel());
    EXPECT_EQ(&item.OwnerPage(), &page);
    panel.SetParent(&form);  // plain panels go anywhere, but have no page there
    EXPECT_THROW(panel.OwnerPage(), EInvalidCast);
    item.SetParent(nullptr);
    EXPECT_TRUE(grid.ChildPanel().Controls().empty());
}

class TPRPrintTest : public testing::Test {
  protected:
    void SetUp() override {
        RegisterPdfClasses();
        report_.SetFileName((folder_.Path() / "out.pdf").string());
        report_.OpenDoc();
    }

    std::string contents() const {
        return std::string(report_.Doc()->GetCanvas().Contents()->Data().View());
    }

    TempFolder folder_;
    TPReport report_;
};

TEST_F(TPRPrintTest, GridCellsPrintInDirectionOrder) {
    TPRPage page;
    TPRGridPanel grid;
    grid.SetParent(&page);
    grid.SetBounds(10, 20, 200, 300);
    grid.SetColCount(2);
    grid.SetRowCount(3);

    for (const TPrintDirection direction : {pdHorz, pdVert}) {
        std::vector<std::string> cells;
        TRect cell12;
        grid.SetPrintDirection(direction);
        grid.BeforePrintChild = [&](TPRGridPanel&, TPRCanvas&, int col, int row, TRect rect) {
            cells.push_back(std::to_string(col) + "," + std::to_string(row));
            if (col == 1 && row == 2) cell12 = rect;
        };
        report_.PrintPage(page);
        EXPECT_EQ(cells,
                  direction == pdHorz
                      ? (std::vector<std::string>{"0,0", "1,0", "0,1", "1,1", "0,2", "1,2"})
                      : (std::vector<std::string>{"0,0", "0,1", "0,2", "1,0", "1,1", "1,2"}));
        EXPECT_EQ(cell12.Left, 110);
        EXPECT_EQ(cell12.Top, 220);
    }
}

TEST_F(TPRPrintTest, StretchedAndClippedPicturesDrawWithTheLayoutNumbers) {
    TProgramPageLayout layout;
    WriteTestJpeg(folder_.Path() / "wide.jpg", 1000, 50);
    layout.PRJpegImage1.Picture().loadFromFile(folder_.Path() / "wide.jpg");

    report_.PrintPage(layout.pagina);
    EXPECT_THAT(contents(), HasSubstr("q\n592 0 0 838 2 2 cm\n/PRJpegImage1 Do\nQ\n"));

    layout.PRJpegImage1.SetStretch(false);
    report_.PrintPage(layout.pagina);
    // One point per pixel from the item's top-left corner, clipped at the item's edges.
    EXPECT_THAT(contents(),
                HasSubstr("q\n2 2 592 838 re\nW\nn\n1000 0 0 50 2 790 cm\n/PRJpegImage1 Do\nQ\n"));
}

TEST_F(TPRPrintTest, SharedImagesAreRegisteredOncePerDocument) {
    TProgramPageLayout layout;
    WriteTestJpeg(folder_.Path() / "a.jpg", 40, 60);
    WriteTestJpeg(folder_.Path() / "b.jpg", 60, 40);
    TPRJpegImage& item = layout.PRJpegImage1;

    item.Picture().loadFromFile(folder_.Path() / "a.jpg");
    report_.PrintPage(layout.pagina);
    item.Picture().loadFromFile(folder_.Path() / "b.jpg");
    report_.PrintPage(layout.pagina);
    TPdfDoc& doc = *report_.Doc();
    const TPdfStream* shared = doc.XObjectByName("PRJpegImage1");
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(shared->Dictionary().NumberOf("Width")->Value(), 40);  // still the first picture

    item.SetSharedImage(false);
    std::vector<std::string> names;
    for (int i = 0; i < 3; ++i) {
        report_.PrintPage(layout.pagina);
        const std::string text = contents();
        const auto end = text.rfind(" Do\n");
        const auto start = text.rfind('/', end);
        names.push_back(text.substr(start + 1, end - start - 1));
    }
    for (const std::string& name : names) {
        EXPECT_THAT(name, testing::StartsWith("PRJpegImage1"));
        const int number = std::stoi(name.substr(12));
        EXPECT_GE(number, 0);
        EXPECT_LE(number, 65534);
        EXPECT_NE(doc.XObjectByName(name), nullptr);
    }
    EXPECT_NE(names[0], names[1]);
    EXPECT_NE(names[1], names[2]);
    EXPECT_NE(names[0], names[2]);
}

TEST_F(TPRPrintTest, ItemsThatCannotPrintDrawNothing) {
    TProgramPageLayout layout;
    TPRJpegImage& item = layout.PRJpegImage1;

    // No picture, then a bitmap loaded past the setter: nothing, no error.
    report_.PrintPage(layout.pagina);
    brevanto::graphics::Bitmap bitmap(8, 8, brevanto::graphics::PixelFormat::pf24bit);
    bitmap.saveToFile(folder_.Path() / "p.bmp");
    item.Picture().loadFromFile(folder_.Path() / "p.bmp");
    report_.PrintPage(layout.pagina);
    EXPECT_EQ(contents().find(" Do\n"), std::string::npos);

    WriteTestJpeg(folder_.Path() / "a.jpg", 16, 16);
    item.Picture().loadFromFile(folder_.Path() / "a.jpg");
    item.SetPrintable(false);
    report_.PrintPage(layout.pagina);
    item.Print(report_.Canvas(), item.BoundsRect());  // checks again when called directly
    EXPECT_EQ(report_.Doc()->XObjectByName("PRJpegImage1"), nullptr);

    brevanto::graphics::Picture bitmapPicture;
    bitmapPicture.assign(bitmap);
    EXPECT_EQ(messageOf([&] { item.SetPicture(&bitmapPicture); }), "only jpeg image is allowed.");
    EXPECT_NE(item.Picture().graphicAs<brevanto::graphics::JpegImage>(), nullptr);

    TPRImage bitmapItem;
    brevanto::graphics::Picture jpegPicture;
    jpegPicture.loadFromFile(folder_.Path() / "a.jpg");
    EXPECT_EQ(messageOf([&] { bitmapItem.SetPicture(&jpegPicture); }),
              "only bitmap image is allowed.");
}

TEST_F(TPRPrintTest, BitmapItemsBecomeBitmapImages) {
    TProgramPageLayout layout;
    TPRImage item;
    item.SetName("Logo");
    item.SetParent(&layout.PRGridPanel1);
    item.SetBounds(0, 0, 30, 20);
    brevanto::graphics::Bitmap bitmap(3, 2, brevanto::graphics::PixelFormat::pf24bit);
    brevanto::graphics::Picture picture;
    picture.assign(bitmap);
    item.SetPicture(&picture);
    report_.PrintPage(layout.pagina);
    const TPdfStream* image = report_.Doc()->XObjectByName("Logo");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Data().Size(), 18u);
    EXPECT_THAT(contents(), HasSubstr("30 0 0 20 2 820 cm\n/Logo Do\n"));
}

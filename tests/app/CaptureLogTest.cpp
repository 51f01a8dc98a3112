// The page list's model and the names page files and documents get.
#include <gtest/gtest.h>

#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include "app/CaptureJournal.h"
#include "app/CaptureLog.h"
#include "app/FileStamps.h"
#include "app/TForm1.h"

namespace {

std::vector<std::string> texts(const TCaptureLog& log) {
    std::vector<std::string> all;
    for (int i = 0; i < log.Count(); ++i) all.push_back(log.EntryTextAt(i));
    return all;
}

TCaptureLog threePages() {
    TCaptureLog log;
    for (const char* path : {"/p/a.bmp", "/p/b.bmp", "/p/c.bmp"}) log.Add(path);
    return log;
}

}  // namespace

TEST(CaptureLog, EntriesKeepTheirNumbersWhereverTheyMove) {
    TCaptureLog log = threePages();
    log.MoveUp(2);
    log.MoveUp(1);
    EXPECT_EQ(texts(log), (std::vector<std::string>{"Página 3 |/p/c.bmp", "Página 1 |/p/a.bmp",
                                                    "Página 2 |/p/b.bmp"}));
    EXPECT_EQ(log.BmpPaths(), (std::vector<std::string>{"/p/c.bmp", "/p/a.bmp", "/p/b.bmp"}));
    log.MoveDown(0);
    log.MoveDown(0);  // the same two swap back
    EXPECT_EQ(log.BmpPaths(), (std::vector<std::string>{"/p/c.bmp", "/p/a.bmp", "/p/b.bmp"}));
}

TEST(CaptureLog, DeletedPagesLeaveTheDocumentAndNumbersMayRepeat) {
    TCaptureLog log = threePages();
    log.Delete(1);
    log.Delete(7);  // outside the list: nothing
    log.Delete(-1);
    EXPECT_EQ(log.BmpPaths(), (std::vector<std::string>{"/p/a.bmp", "/p/c.bmp"}));
    EXPECT_EQ(log.Deleted(), (std::vector<std::string>{"/p/b.bmp"}));
    log.Add("/p/d.bmp");
    EXPECT_EQ(log.EntryTextAt(2), "Página 3 |/p/d.bmp");
    EXPECT_EQ(log.EntryTextAt(1), "Página 3 |/p/c.bmp");
    log.Clear();
    EXPECT_TRUE(log.Empty());
    EXPECT_TRUE(log.Deleted().empty());
}

TEST(CaptureLog, MovesWithoutANeighbourFailAndChangeNothing) {
    const struct {
        int index;
        bool up;
        const char* message;
    } cases[] = {
        {0, true, "List index out of bounds (-1)"},
        {2, false, "List index out of bounds (3)"},
        {-1, true, "List index out of bounds (-1)"},
        {-1, false, "List index out of bounds (-1)"},
    };
    for (const auto& c : cases) {
        TCaptureLog log = threePages();
        try {
            c.up ? log.MoveUp(c.index) : log.MoveDown(c.index);
            ADD_FAILURE() << c.index << " moved";
        } catch (const EListError& error) {
            EXPECT_STREQ(error.what(), c.message);
        }
        EXPECT_EQ(log.BmpPaths(), threePages().BmpPaths());
    }
}

TEST(CaptureLog, EntryPathIsTheTextAfterTheLastBarAtMost200Characters) {
    EXPECT_EQ(TForm1::EntryPath(QStringLiteral("Página 1 |/srv/pdf//0101202410.bmp")),
              QStringLiteral("/srv/pdf//0101202410.bmp"));
    EXPECT_EQ(TForm1::EntryPath(QStringLiteral("Página 2 |/a|b/c.bmp")), QStringLiteral("b/c.bmp"));
    EXPECT_EQ(TForm1::EntryPath(QStringLiteral("no bar")), QStringLiteral("no bar"));
    const QString longPath = QStringLiteral("/") + QString(250, QLatin1Char('x'));
    EXPECT_EQ(TForm1::EntryPath(QStringLiteral("Página 1 |") + longPath), longPath.left(200));
}

TEST(FileStamps, PagesToTheSecondWithoutMinutesDocumentsWithThem) {
    const LocalDateTime time{2026, 3, 7, 9, 41, 5, 999};
    EXPECT_EQ(PageFileStamp(time), "070320260905");
    EXPECT_EQ(DocumentFileStamp(time), "07032026094105");
    EXPECT_EQ(NumberedFileName("/f//x", 1, ".pdf"), "/f//x.pdf");
    EXPECT_EQ(NumberedFileName("/f//x", 2, ".pdf"), "/f//x-2.pdf");
    EXPECT_EQ(NumberedFileName("/f/x", 13, ".bmp"), "/f/x-13.bmp");
}

TEST(CaptureJournal, AJournalThatCannotBeReadOffersNothing) {
    QTemporaryDir folder;
    const TCaptureJournal journal(folder.path());
    for (const char* text :
         {"", "{", "[1, 2]", "{\"paginas\": [{\"numero\": \"x\", \"bmp\": 7}]}"}) {
        QFile file(journal.Path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        file.close();
        EXPECT_TRUE(journal.Load().Empty()) << text;
    }
}

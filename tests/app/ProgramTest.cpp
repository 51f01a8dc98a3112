#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

// The program itself, copied into a folder of the test's own so that its configuration files
// are the test's.
class ProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        program = folder.filePath(QStringLiteral("brevanto-scanner"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(BREVANTO_BIN_DIR "/brevanto-scanner"), program));
    }

    void writeConfig(const QString& name, const QByteArray& line) {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(line);
    }

    QTemporaryDir folder;
    QString program;
};

TEST_F(ProgramTest, FailedStartShowsTheErrorAndEnds) {
    writeConfig(QStringLiteral("sys.txt"), "nohost.invalid\n");
    writeConfig(QStringLiteral("banco.txt"), "beleza\n");
    QProcess run;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    run.setProcessEnvironment(env);
    run.start(program, {});
    ASSERT_TRUE(run.waitForFinished(60000)) << "the program did not end";
    EXPECT_EQ(run.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(run.exitCode(), 1);
    // On a screen nobody sees, the error box goes to stderr with its caption.
    const QString errors = QString::fromLocal8Bit(run.readAllStandardError());
    EXPECT_TRUE(errors.contains(QStringLiteral("[Brevanto - Scanner]"))) << errors.toStdString();
    EXPECT_TRUE(errors.contains(QStringLiteral("nohost.invalid"))) << errors.toStdString();
}

}  // namespace

// The headless run on a terminal: through a pseudo-terminal of 80 columns, the live progress line
// never wraps, follows a change of width, is cleared before any other line and never stays on
// the screen between the log lines.
#include "mysql_test_server.h"
#include "oraemu_test_db.h"
#include "program_child.h"
#include "scratch_profile.h"
#include "scratch_settings_file.h"
#include "app/display_columns.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace dovrelle;

namespace {

// What a terminal of a given width shows of the program's output: the finished lines, and every
// live line as it was drawn (with the width the terminal had then). Log lines may be longer than
// the terminal is wide; a live line must not.
class TerminalScreen {
public:
    explicit TerminalScreen(int columns) : columns_(columns) {}

    void resize(int columns) { columns_ = columns; }

    void feed(const QString& text)
    {
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i];
            if (c == u'\033' && text.mid(i, 3) == QStringLiteral("\033[K")) {
                line_.truncate(cursorIndex());
                i += 2;
            } else if (c == u'\r') {
                noteDrawn();
                cursor_ = 0;
            } else if (c == u'\n') {
                noteDrawn();
                lines << line_;
                line_.clear();
                cursor_ = 0;
            } else {
                line_.truncate(cursorIndex());
                line_ += c;
                cursor_ = displayColumns(line_);
            }
        }
    }

    QStringList lines;                            // finished lines, top to bottom
    QList<QPair<QString, int>> liveDrawings;      // live line texts with the width at the time

private:
    qsizetype cursorIndex() const { return cursor_ == 0 ? 0 : line_.size(); }
    void noteDrawn()
    {
        if (line_.contains(QStringLiteral("rows/s")) || line_.contains(QStringLiteral("行/秒")))
            liveDrawings.append({line_, columns_});
    }

    int columns_;
    QString line_;
    int cursor_ = 0;
};

// The program on the slave side of a pseudo-terminal.
class TerminalChild {
public:
    TerminalChild(const QStringList& arguments, const QString& home, int columns)
    {
        std::vector<QByteArray> argStore{QFile::encodeName(dovrelleProgram())};
        for (const QString& a : arguments)
            argStore.push_back(QFile::encodeName(a));
        std::vector<QByteArray> envStore;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DOVRELLE_OCI_LIBRARY", testsupport::oraemuLibraryPath());
        env.insert("XDG_CONFIG_HOME", home + "/config");
        env.insert("XDG_DATA_HOME", home + "/data");
        env.insert("TERM", "xterm");
        for (const QString& key : env.keys())
            envStore.push_back((key + "=" + env.value(key)).toLocal8Bit());
        std::vector<char*> argv, envp;
        for (QByteArray& a : argStore)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        for (QByteArray& e : envStore)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        winsize size = {};
        size.ws_row = 24;
        size.ws_col = static_cast<unsigned short>(columns);
        pid_ = ::forkpty(&master_, nullptr, nullptr, &size);
        if (pid_ == 0) {
            ::execve(argv[0], argv.data(), envp.data());
            ::_exit(127);
        }
    }

    ~TerminalChild()
    {
        if (master_ >= 0)
            ::close(master_);
        if (pid_ > 0 && !exited_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }

    bool started() const { return pid_ > 0; }

    // Reads what the program wrote for up to `milliseconds`; false once the terminal closed.
    bool read(int milliseconds)
    {
        pollfd fd{master_, POLLIN, 0};
        if (::poll(&fd, 1, milliseconds) <= 0)
            return true;
        char buffer[4096];
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n <= 0)
            return false;
        output += QString::fromUtf8(buffer, n);
        return true;
    }

    // Reads until `text` has appeared after `from`; false when the program ended first.
    bool waitFor(const QString& text, qsizetype from = 0)
    {
        QElapsedTimer clock;
        clock.start();
        while (output.indexOf(text, from) < 0) {
            if (!read(500) || clock.elapsed() > 120000)
                return false;
        }
        return true;
    }

    void resize(int columns)
    {
        winsize size = {};
        size.ws_row = 24;
        size.ws_col = static_cast<unsigned short>(columns);
        ::ioctl(master_, TIOCSWINSZ, &size);
    }

    void signal(int number) { ::kill(pid_, number); }

    int finish()
    {
        while (read(1000)) {
        }
        int status = 0;
        ::waitpid(pid_, &status, 0);
        exited_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    QString output;

private:
    int master_ = -1;
    pid_t pid_ = -1;
    bool exited_ = false;
};

class HeadlessTerminal : public testing::Test {
protected:
    void SetUp() override
    {
        // A view that gives its rows slowly (MySQL lists views with the tables and the run copies
        // their rows): the run would last half a minute, long enough to resize the terminal and
        // stop it on a busy machine too. Its rows are wide enough that the server sends them
        // every few rows rather than once its network buffer is full. Its long name has to be cut
        // even in the shorter live line at 60 columns.
        mysql.execute({"CREATE VIEW customer_order_line_items_archive AS "
                       "SELECT seq AS id, SLEEP(0.002) AS waited, REPEAT('x', 200) AS pad FROM seq_1_to_15000"});
        ConversionProfile c = testsupport::scratchProfile(mysql, oracle);
        c.processtable = ExistingTableAction::Overwrite;
        c.character_set = "Default";
        c.nameuppercase = true;
        settingsPath = home.filePath("nightly.qelt");
        testsupport::saveProfileSettings(settingsPath, c, true);
    }

    testsupport::ScratchMySqlDatabase mysql{"t_terminal"};
    testsupport::ScratchOracleDatabase oracle;
    QTemporaryDir home;
    QString settingsPath;
};

TEST_F(HeadlessTerminal, TheLiveLineFitsTheWidthFollowsAResizeAndIsClearedBeforeOtherLines)
{
    for (const char* language : {"en", "cn"}) {
        SCOPED_TRACE(language);
        TerminalChild child({"--headless", settingsPath, "--language", language}, home.path(), 80);
        ASSERT_TRUE(child.started());
        const QString rate = QString::fromLatin1(language) == "cn" ? QStringLiteral("行/秒") : QStringLiteral("rows/s");
        ASSERT_TRUE(child.waitFor(rate)) << child.output.toStdString();
        TerminalScreen screen(80);
        screen.feed(child.output);
        const qsizetype before = child.output.size();

        child.resize(60);
        QThread::msleep(1500);  // a live line drawn at the old width may still be on its way, on a busy machine too
        child.read(0);  // what arrived meanwhile, if anything
        const qsizetype resized = child.output.size();
        screen.feed(child.output.mid(before, resized - before));
        screen.resize(60);
        ASSERT_TRUE(child.waitFor(rate, resized)) << "no live line after the resize: " << child.output.toStdString();
        child.signal(SIGINT);
        EXPECT_EQ(child.finish(), 1) << child.output.toStdString();
        screen.feed(child.output.mid(resized));

        ASSERT_FALSE(screen.liveDrawings.isEmpty());
        bool drawnAt60 = false;
        for (const auto& [text, columns] : screen.liveDrawings) {
            EXPECT_LT(displayColumns(text), columns) << text.toStdString();
            drawnAt60 = drawnAt60 || columns == 60;
        }
        EXPECT_TRUE(drawnAt60);
        // Finished lines are log lines or the signal's notice, never a stale live line.
        EXPECT_TRUE(screen.lines.contains("Signal 2: stopping at the next check point")) << screen.lines.join('\n').toStdString();
        for (const QString& line : screen.lines)
            EXPECT_FALSE(line.contains(rate)) << line.toStdString();
        const QString log = screen.lines.join('\n');
        EXPECT_TRUE(log.contains(QRegularExpression("^Create table CUSTOMER_ORDER_LINE_ITEMS\\w*\\.\\.\\.Done$",
                                                    QRegularExpression::MultilineOption)))
            << log.toStdString();
        for (const QString& table : oracle.rows("SELECT table_name FROM user_tables"))
            oracle.sql("DROP TABLE " + table);
    }
}

}  // namespace

// Failures injected under every command that writes or reads a file: a full disk, a read-only
// folder, a folder where the file should be, a folder that does not exist; a file that goes
// away or becomes unreadable between the dialog and the read, a folder chosen as a file, a
// 2 GB file. Whatever happens, the old file stays whole, an error box says why, and the
// contour and the program go on as before. The bitmap export and the underlay picture are
// treated alike.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <functional>

#include "app/application.h"
#include "model/contour_file.h"
#include "model/ilda.h"
#include "model/legacy_file.h"
#include "pictures/bitmap_writer.h"
#include "support/program.h"
#include "support/scripted_dialogs.h"

using editor::MouseButton;
using window::MessageButton;
using window::MessageType;

namespace {

QByteArray ReadAll(const QString& name) {
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool WriteAll(const QString& name, const QByteArray& bytes) {
    QFile f(name);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray Path(const QString& name) {
    return QFile::encodeName(name);
}

// Dialogs that can change the chosen file after the user chose it and before the command
// reads it, as another program might.
class RacingDialogs : public testing_support::ScriptedDialogs {
  public:
    std::function<void(const QString&)> afterChoice;
    std::optional<QString> openFile(window::FileDialogSpec& request) override {
        std::optional<QString> chosen = ScriptedDialogs::openFile(request);
        if (chosen && afterChoice) {
            afterChoice(*chosen);
        }
        return chosen;
    }
};

// The main window, its dialogs answered by a script.
struct Program {
    QTemporaryDir dir;
    RacingDialogs dialogs;
    std::unique_ptr<app::Windows> w = app::CreateWindows();

    Program() { w->BaseForm->setDialogs(&dialogs); }
    editor::Editor& ed() { return w->BaseForm->editor(); }
    int count() { return ed().state().PointCount; }
    void trigger(const char* name) { w->BaseForm->action(QString::fromUtf8(name))->trigger(); }
    void draw(std::initializer_list<std::pair<int, int>> pts) {
        ed().SelectTool(model::tmPen, QStringLiteral("Paint Picture"));
        for (const auto& [x, y] : pts) {
            ed().PaintBoxVardeniMouseDown(MouseButton::Left, x, y);
            ed().PaintBoxVardeniMouseUp(MouseButton::Left, x, y);
        }
    }
    widgets::SpeedButton* button(const char* name) {
        return w->BaseForm->button(QString::fromUtf8(name));
    }
    bool undoEnabled() {
        return w->BaseForm->button(QStringLiteral("SpeedButtonUndo"))->isEnabled();
    }
    QString path(const QString& name) { return dir.filePath(name); }
};

// The commands that write a file, each run on the name the dialog gives.
struct Writer {
    const char* what;
    QString extension;
    std::function<void(Program&, const QString&)> run;
};

std::vector<Writer> Writers() {
    return {
        {"contour file", QStringLiteral(".ilz"),
         [](Program& p, const QString& name) {
             p.dialogs.fileAnswers.push_back(name);
             // An existing file brings the overwrite question first.
             p.dialogs.messageAnswers = {MessageButton::Yes};
             p.trigger("SaveAsItem");
         }},
        {"legacy file", QStringLiteral(".plz"),
         [](Program& p, const QString& name) {
             p.dialogs.fileAnswers.push_back(name);
             p.trigger("ItemExport");
         }},
        {"ILDA file", QStringLiteral(".ild"),
         [](Program& p, const QString& name) {
             p.dialogs.fileAnswers.push_back(name);
             p.trigger("ItemExportIlda");
         }},
        {"bitmap export", QStringLiteral(".bmp"),
         [](Program& p, const QString& name) {
             p.dialogs.fileAnswers.push_back(name);
             p.button("SpeedButtonSavePikture")->click();
         }},
    };
}

// The files in the folder of a name.
QStringList Listing(const QString& name) {
    return QFileInfo(name).dir().entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

// What every failed write must leave: one error box, the old file as it was, no half-written
// file beside it, the contour untouched; and a save elsewhere still works.
void ExpectFailedWrite(Program& p, const Writer& w, const QString& target, const QByteArray& old,
                       const QStringList& listing, std::size_t messagesBefore,
                       const model::ContourBuffer& buffer, int count) {
    SCOPED_TRACE(w.what);
    ASSERT_GT(p.dialogs.messages.size(), messagesBefore) << "no message box";
    const window::MessageSpec& box = p.dialogs.messages.back();
    EXPECT_EQ(box.type, MessageType::Error) << box.text.toStdString();
    EXPECT_FALSE(box.text.isEmpty());
    if (qEnvironmentVariableIsSet("QUORINIMAGE_SHOW_MESSAGES")) {
        std::printf("[%s] %s\n", w.what, box.text.toUtf8().constData());
    }
    EXPECT_EQ(ReadAll(target), old);
    EXPECT_EQ(Listing(target), listing) << "a half-written file left behind";
    EXPECT_EQ(p.ed().contour().Buffer, buffer);
    EXPECT_EQ(p.count(), count);

    // The program goes on: one more point, and a save to a good place.
    p.draw({{300, 40}});
    EXPECT_GT(p.count(), count);
    const QString good = p.path(QStringLiteral("после сбоя") + w.extension);
    w.run(p, good);
    EXPECT_GT(ReadAll(good).size(), 0);
    QFile::remove(good);
}

// A 16 KiB file system of its own on a temporary folder, to be filled to the last page.
class SmallDisk {
  public:
    SmallDisk() {
        mounted_ = dir_.isValid() &&
                   ::mount("tmpfs", Path(dir_.path()).constData(), "tmpfs", 0, "size=16k") == 0;
    }
    ~SmallDisk() {
        if (mounted_) {
            ::umount2(Path(dir_.path()).constData(), MNT_DETACH);
        }
    }
    bool mounted() const { return mounted_; }
    QString path(const QString& name) const { return dir_.filePath(name); }
    // Fills the disk with a filler file, then frees `spare` bytes of it.
    void fill(qint64 spare) {
        QFile filler(path(QStringLiteral("filler")));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray page(4096, 'f');
        while (filler.write(page) == page.size()) {
        }
        filler.close();
        ASSERT_TRUE(filler.resize(std::max<qint64>(0, filler.size() - spare)));
    }

  private:
    QTemporaryDir dir_;
    bool mounted_ = false;
};

// Without the right to mount, a limit on the size of files a process may write stands in for
// the full disk; the file layer sees the same short write.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        handler_ = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = old_;
        small.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, handler_);
    }

  private:
    struct rlimit old_ {};
    void (*handler_)(int) = nullptr;
};

// A folder that nothing may be written into, not even by root: a read-only bind mount of
// itself, or else the immutable attribute.
class ReadOnlyFolder {
  public:
    explicit ReadOnlyFolder(const QString& path) : path_(Path(path)) {
        if (::mount(path_.constData(), path_.constData(), nullptr, MS_BIND, nullptr) == 0) {
            if (::mount(nullptr, path_.constData(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY,
                        nullptr) == 0) {
                how_ = How::BindMount;
                return;
            }
            ::umount2(path_.constData(), MNT_DETACH);
        }
        if (setImmutable(true)) {
            how_ = How::Immutable;
        }
    }
    ~ReadOnlyFolder() {
        if (how_ == How::BindMount) {
            ::umount2(path_.constData(), MNT_DETACH);
        } else if (how_ == How::Immutable) {
            setImmutable(false);
        }
    }
    bool active() const { return how_ != How::None; }

  private:
    enum class How { None, BindMount, Immutable };
    bool setImmutable(bool on) {
        const int fd = ::open(path_.constData(), O_RDONLY | O_DIRECTORY);
        if (fd < 0) {
            return false;
        }
        int flags = 0;
        bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        if (ok) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        ::close(fd);
        return ok;
    }
    QByteArray path_;
    How how_ = How::None;
};

// Bytes read by this process so far, as the kernel counts them.
qint64 BytesRead() {
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : io.readAll().split('\n')) {
        if (line.startsWith("rchar:")) {
            return line.mid(6).trimmed().toLongLong();
        }
    }
    return -1;
}

}  // namespace

TEST(FailureInjection, AFullDiskLeavesTheOldFileWhole) {
    for (const Writer& w : Writers()) {
        Program p;
        p.draw({{10, 10}, {50, 50}, {90, 10}});
        const int drawn = p.count();
        SmallDisk disk;
        const QString target = disk.mounted() ? disk.path(QStringLiteral("old") + w.extension)
                                              : p.path(QStringLiteral("old") + w.extension);
        const QByteArray old(2048, 'o');
        ASSERT_TRUE(WriteAll(target, old));
        const model::ContourBuffer buffer = p.ed().contour().Buffer;
        const std::size_t before = p.dialogs.messages.size();
        if (disk.mounted()) {
            // One page left: a contour file stops half way; the smaller files find none.
            disk.fill(w.extension == QStringLiteral(".ilz") ? 4096 : 0);
        }
        const QStringList listing = Listing(target);
        if (disk.mounted()) {
            w.run(p, target);
        } else {
            const FileSizeLimit limit(1024);
            w.run(p, target);
        }
        ExpectFailedWrite(p, w, target, old, listing, before, buffer, drawn);
    }
}

TEST(FailureInjection, AReadOnlyFolderLeavesTheOldFileWhole) {
    for (const Writer& w : Writers()) {
        Program p;
        p.draw({{10, 10}, {50, 50}});
        const int drawn = p.count();
        const QString folder = p.path(QStringLiteral("только чтение"));
        ASSERT_TRUE(QDir().mkpath(folder));
        const QString target = folder + QStringLiteral("/old") + w.extension;
        ASSERT_TRUE(WriteAll(target, "previous"));
        const ReadOnlyFolder readOnly(folder);
        if (!readOnly.active()) {
            GTEST_SKIP() << "neither a read-only bind mount nor the immutable attribute is "
                            "permitted here, and root ignores permission bits";
        }
        const model::ContourBuffer buffer = p.ed().contour().Buffer;
        // Over the old file, and as a new file beside it.
        for (const QString& name : {target, folder + QStringLiteral("/new") + w.extension}) {
            const std::size_t before = p.dialogs.messages.size();
            const QStringList listing = Listing(name);
            w.run(p, name);
            ExpectFailedWrite(p, w, name, name == target ? QByteArray("previous") : QByteArray(),
                              listing, before, buffer, drawn);
            p.ed().SpeedButtonUndoClick();  // the extra point again
        }
    }
}

TEST(FailureInjection, AFolderInPlaceOfTheFileOrAMissingFolder) {
    for (const Writer& w : Writers()) {
        Program p;
        p.draw({{10, 10}, {50, 50}});
        const int drawn = p.count();
        const model::ContourBuffer buffer = p.ed().contour().Buffer;
        const QString folder = p.path(QStringLiteral("папка") + w.extension);
        ASSERT_TRUE(QDir().mkpath(folder));
        ASSERT_TRUE(WriteAll(folder + QStringLiteral("/inside"), "kept"));
        std::size_t before = p.dialogs.messages.size();
        w.run(p, folder);
        ExpectFailedWrite(p, w, folder, QByteArray(), Listing(folder), before, buffer, drawn);
        EXPECT_EQ(ReadAll(folder + QStringLiteral("/inside")), QByteArray("kept"));
        p.ed().SpeedButtonUndoClick();

        const QString missing = p.path(QStringLiteral("нет такой папки/файл") + w.extension);
        before = p.dialogs.messages.size();
        w.run(p, missing);
        ExpectFailedWrite(p, w, missing, QByteArray(), QStringList(), before, buffer, drawn);
        EXPECT_FALSE(QFileInfo::exists(p.path(QStringLiteral("нет такой папки"))));
    }
}

namespace {

// The commands that read a file, each run on the name the dialog gives.
struct Reader {
    const char* what;
    QString extension;
    std::function<void(Program&, const QString&)> run;
    bool takesSnapshot = true;  // the contour commands take the undo snapshot first
};

std::vector<Reader> Readers() {
    return {
        {"contour file", QStringLiteral(".ilz"),
         [](Program& p, const QString& name) {
             p.dialogs.fileAnswers.push_back(name);
             p.trigger("OpenFileItem");
         }},
        {"legacy file", QStringLiteral(".plz"),
         [](Program& p, const QString& name) {
             p.dialogs.fileAnswers.push_back(name);
             p.trigger("ItemImport");
         }},
        {"ILDA file", QStringLiteral(".ild"),
         [](Program& p, const QString& name) {
             p.dialogs.fileAnswers.push_back(name);
             p.trigger("ItemImportIlda");
         }},
        {"underlay picture", QStringLiteral(".bmp"),
         [](Program& p, const QString& name) {
             p.dialogs.fileAnswers.push_back(name);
             p.button("SpeedButtonOpenImage")->click();
         },
         false},
    };
}

// A good file of each kind, with one point.
QByteArray GoodFile(const QString& extension) {
    model::Contour c;
    c.FillBuffer(100, 200);
    if (extension == QStringLiteral(".ilz")) {
        const model::ContourFileImage image = model::EncodeContourFile(c.Buffer, 1);
        return QByteArray(reinterpret_cast<const char*>(image.data()), qsizetype(image.size()));
    }
    if (extension == QStringLiteral(".plz")) {
        return QByteArray(2048, char(127));
    }
    if (extension == QStringLiteral(".bmp")) {
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(Qt::red);
        return pictures::EncodeBitmap24(image);
    }
    const std::vector<uint8_t> bytes =
        model::ilda::Encode(c, model::ilda::kTrueColor2D, {0, 255, 0}, "one", "test").bytes;
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

}  // namespace

TEST(FailureInjection, AFileThatChangesBetweenTheDialogAndTheRead) {
    const std::pair<const char*, std::function<void(const QString&)>> changes[] = {
        {"removed", [](const QString& name) { QFile::remove(name); }},
        {"replaced by a folder",
         [](const QString& name) {
             QFile::remove(name);
             QDir().mkdir(name);
         }},
        {"replaced by a pipe that nobody writes",
         [](const QString& name) {
             QFile::remove(name);
             ::mkfifo(Path(name).constData(), 0600);
         }},
        {"replaced by a link to itself",
         [](const QString& name) {
             QFile::remove(name);
             QFile::link(name, name);
         }},
    };
    for (const Reader& r : Readers()) {
        for (const auto& [how, change] : changes) {
            SCOPED_TRACE(std::string(r.what) + ", " + how);
            Program p;
            p.draw({{10, 10}, {50, 50}, {90, 10}});
            const int drawn = p.count();
            const model::ContourBuffer buffer = p.ed().contour().Buffer;
            const QString name = p.path(QStringLiteral("исчезающий") + r.extension);
            ASSERT_TRUE(WriteAll(name, GoodFile(r.extension)));
            // Undo off, so that the snapshot a command takes shows.
            p.ed().host().setUndoEnabled(false);
            p.dialogs.afterChoice = change;
            r.run(p, name);
            p.dialogs.afterChoice = nullptr;
            ASSERT_EQ(p.dialogs.messages.size(), 1u);
            const window::MessageSpec& box = p.dialogs.messages.back();
            EXPECT_EQ(box.type, MessageType::Error);
            if (qEnvironmentVariableIsSet("QUORINIMAGE_SHOW_MESSAGES")) {
                std::printf("[%s, %s] %s\n", r.what, how, box.text.toUtf8().constData());
            }
            EXPECT_EQ(p.ed().contour().Buffer, buffer);
            EXPECT_EQ(p.count(), drawn);
            EXPECT_EQ(p.w->BaseForm->windowTitle(), QStringLiteral("Vardeni : [no name]"));
            // The snapshot was taken, and the program goes on.
            EXPECT_EQ(p.undoEnabled(), r.takesSnapshot);
            // A picture that could not be read leaves the underlay as it was.
            EXPECT_TRUE(p.ed().underlay().isBuiltIn());
            EXPECT_FALSE(p.ed().underlay().visible());
            p.draw({{200, 200}});
            EXPECT_GT(p.count(), drawn);
        }
    }
}

TEST(FailureInjection, AFolderChosenAsAFile) {
    for (const Reader& r : Readers()) {
        SCOPED_TRACE(r.what);
        Program p;
        p.draw({{10, 10}, {50, 50}});
        const int drawn = p.count();
        const model::ContourBuffer buffer = p.ed().contour().Buffer;
        const QString folder = p.path(QStringLiteral("папка") + r.extension);
        ASSERT_TRUE(QDir().mkpath(folder));
        r.run(p, folder);
        ASSERT_EQ(p.dialogs.messages.size(), 1u);
        EXPECT_EQ(p.dialogs.messages.back().type, MessageType::Error);
        EXPECT_EQ(p.ed().contour().Buffer, buffer);
        EXPECT_EQ(p.count(), drawn);
    }
}

TEST(FailureInjection, A2GBFileIsNotReadWhole) {
    Program p;
    p.draw({{10, 10}, {50, 50}});
    const int drawn = p.count();
    const model::ContourBuffer buffer = p.ed().contour().Buffer;
    for (const Reader& r : Readers()) {
        SCOPED_TRACE(r.what);
        // Sparse: 2 GB of zeros that take no room on the disk.
        const QString name = p.path(QStringLiteral("огромный") + r.extension);
        QFile big(name);
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        ASSERT_TRUE(big.resize(qint64(2) << 30));
        big.close();
        const qint64 readBefore = BytesRead();
        const std::size_t before = p.dialogs.messages.size();
        r.run(p, name);
        const qint64 read = BytesRead() - readBefore;
        ASSERT_GE(readBefore, 0);
        // The ILDA reader looks at no more than the first 64 MiB; the others at a few bytes
        // (pictures are refused above 512 MiB unread).
        EXPECT_LT(read, qint64(65) << 20);
        if (r.extension == QStringLiteral(".plz")) {
            // A legacy file is its first 2048 bytes, whatever follows: zeros are points.
            EXPECT_EQ(p.dialogs.messages.size(), before);
            EXPECT_EQ(p.count(), model::kLegacyImportCount);
            EXPECT_LT(read, qint64(1) << 20);
            p.ed().SpeedButtonUndoClick();
            EXPECT_EQ(p.ed().contour().Buffer, buffer);
        } else {
            ASSERT_EQ(p.dialogs.messages.size(), before + 1);
            EXPECT_EQ(p.dialogs.messages.back().type, MessageType::Error);
            if (r.extension == QStringLiteral(".ilz")) {
                EXPECT_EQ(p.dialogs.messages.back().text,
                          QStringLiteral("Файл имеет другой формат!"));
            }
            if (r.extension != QStringLiteral(".ild")) {
                EXPECT_LT(read, qint64(1) << 20);
            }
            EXPECT_EQ(p.ed().contour().Buffer, buffer);
        }
        EXPECT_EQ(p.count(), drawn);
        QFile::remove(name);
    }
}

// A batch conversion that meets a full disk: each output is written whole or not at all, the
// batch goes on past the one that failed, and the exit status says not all were converted.
TEST(FailureInjection, AFullDiskDuringABatchLeavesNoFileHalfWritten) {
    QTemporaryDir dir;
    std::vector<std::pair<int, int>> many;
    for (int i = 0; i < 2000; ++i) {
        many.emplace_back(i % 380, i / 380 * 50);
    }
    testing_support::WriteFile(dir.filePath(QStringLiteral("a.ilz")),
                               testing_support::ContourFileOf({{10, 10}, {20, 20}}));
    testing_support::WriteFile(dir.filePath(QStringLiteral("big.ilz")),
                               testing_support::ContourFileOf(many));
    testing_support::WriteFile(dir.filePath(QStringLiteral("c.ilz")),
                               testing_support::ContourFileOf({{30, 30}}));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("out")));
    testing_support::ProgramRun run;
    {
        // Room for a frame of two points (80 bytes), not for one of 2000 (16,064 bytes).
        const FileSizeLimit limit(4096);
        run = testing_support::RunProgram(
            {QStringLiteral("--convert"), QStringLiteral("a.ilz"), QStringLiteral("big.ilz"),
             QStringLiteral("c.ilz"), QStringLiteral("--to"), QStringLiteral("out"),
             QStringLiteral("--as"), QStringLiteral("ild")},
            dir.path());
    }
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.startsWith(QStringLiteral("out/big.ild: "))) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("Преобразовано файлов: 2 из 3, в out.\n"));
    EXPECT_EQ(QDir(dir.filePath(QStringLiteral("out"))).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("a.ild"), QStringLiteral("c.ild")}));
    EXPECT_EQ(QFileInfo(dir.filePath(QStringLiteral("out/a.ild"))).size(), 32 + 2 * 8 + 32);
    EXPECT_EQ(QFileInfo(dir.filePath(QStringLiteral("out/c.ild"))).size(), 32 + 8 + 32);
}

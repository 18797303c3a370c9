#include "support/program.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>

namespace testing_support {

QString ProgramPath() {
    return QStringLiteral(QUORINIMAGE_PROGRAM);
}

QProcessEnvironment ProgramEnvironment(const QString& folder, Texts texts) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // A configuration folder of its own, where no settings file chooses the language.
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), folder + QStringLiteral("/.config-none"));
    if (texts == Texts::English) {
        env.remove(QStringLiteral("LC_ALL"));
        env.remove(QStringLiteral("LC_MESSAGES"));
        env.remove(QStringLiteral("LANGUAGE"));
        env.insert(QStringLiteral("LANG"), QStringLiteral("en_US.UTF-8"));
    }
    return env;
}

ProgramRun RunProgram(const QStringList& arguments, const QString& folder, bool offscreen,
                      Texts texts) {
    QProcess process;
    process.setWorkingDirectory(folder);
    QProcessEnvironment env = ProgramEnvironment(folder, texts);
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"),
               offscreen ? QStringLiteral("offscreen") : QStringLiteral("xcb"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(QUORINIMAGE_PROGRAM), arguments);
    ProgramRun run;
    if (!process.waitForFinished(120'000) || process.exitStatus() != QProcess::NormalExit) {
        ADD_FAILURE() << "quorinimage " << arguments.join(QLatin1Char(' ')).toStdString()
                      << " did not end normally";
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QByteArray ContourFileOf(const std::vector<std::pair<int, int>>& pixels) {
    QByteArray file(8192, '\0');
    const auto put = [&file](int at, int word) {
        file[at] = char(word & 0xFF);
        file[at + 1] = char(word >> 8);
    };
    for (int k = 0; k < 4096; ++k) {
        put(2 * k, 32768);
    }
    for (size_t i = 0; i < pixels.size(); ++i) {
        const int64_t x = (int64_t(pixels[i].first) - 192) * 5'000'000;
        const int64_t y = (int64_t(pixels[i].second) - 192) * 5'000'000;
        put(int(4 * i), int(x / 65536 + 32768));
        put(int(4 * i + 2), int(y / 65536 + 32768));
    }
    put(8180, int(pixels.size()) + 32768);
    return file;
}

std::vector<std::pair<double, double>> PixelsOfContourFile(const QByteArray& file) {
    const auto word = [&file](int at) {
        return int(uint8_t(file[at])) | (int(uint8_t(file[at + 1])) << 8);
    };
    const auto pixel = [](int w) { return double(w - 32768) * 65536 / 5'000'000 + 192; };
    std::vector<std::pair<double, double>> points;
    if (file.size() != 8192) {
        return points;
    }
    for (int i = 0; i < word(8180) - 32768; ++i) {
        points.emplace_back(pixel(word(4 * i)), pixel(word(4 * i + 2)));
    }
    return points;
}

QByteArray ReadFile(const QString& name) {
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteFile(const QString& name, const QByteArray& bytes) {
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

}  // namespace testing_support

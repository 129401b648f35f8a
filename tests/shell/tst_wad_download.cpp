// The offer to fetch a server's missing PWADs before its launch, against the
// simulator's WAD site.

#include <QDialog>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>

#include "launch/settings.h"
#include "shell/wad_download_dialog.h"
#include "shell/wad_download_offer.h"
#include "shell_test_support.h"

namespace {

// An empty PWAD.
constexpr char kEmptyPwad[] = "PWAD\0\0\0\0\x0c\0\0\0";

void writeFile(const QString& path, std::string_view bytes) {
    std::ofstream(path.toStdString(), std::ios::binary) << bytes;
}

}  // namespace

class WadDownloadTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup() { resetSettings(); }
    void askedOnceThenFetchedOrTold();

  private:
    QTemporaryDir m_site;
    QTemporaryDir m_wads;
    QTemporaryDir m_older;
};

void WadDownloadTest::init() {
    resetSettings();
    writeFile(m_site.filePath(QStringLiteral("extra.wad")), {kEmptyPwad, sizeof kEmptyPwad - 1});
    writeFile(m_wads.filePath(QStringLiteral("doom2.wad")), "IWAD");
    // Fetched files go to the first directory, the one added last.
    AddWadDirectory(m_older.path().toStdString() + "/", 0);
    AddWadDirectory(m_wads.path().toStdString() + "/", 1);
}

void WadDownloadTest::askedOnceThenFetchedOrTold() {
    SimRunner sim({"--wad-site", m_site.path().toStdString()});
    QVERIFY(!sim.news().empty());
    const std::vector<std::string> sites{"http://" + sim.news() + "/wads/{name}"};
    const LaunchTarget server{"127.0.0.1:1", "doom2.wad", true, {"extra.wad", "gone.wad"}};
    RecordingBoxes boxes;

    // No: the launch goes on to tell of the missing files as always.
    boxes.answers = {false};
    QVERIFY(offerWadDownload(server, sites, boxes, nullptr));
    QCOMPARE(boxes.questions.size(), size_t{1});
    QCOMPARE(boxes.questions[0].text, std::string("These files are missing: extra.wad, gone.wad\n"
                                                  "Download them from your WAD sites?"));
    // Yes, with a file no site has: the message names it, what was tried and why; no launch.
    QVERIFY(!offerWadDownload(server, sites, boxes, nullptr));
    QCOMPARE(boxes.messages.size(), size_t{1});
    QVERIFY(boxes.messages[0].text.rfind("Could not fetch gone.wad:\nhttp://", 0) == 0);
    QVERIFY(boxes.messages[0].text.find("404") != std::string::npos);
    QVERIFY(QFile::exists(m_wads.filePath(QStringLiteral("extra.wad"))));
    QVERIFY(QDir(m_older.path()).isEmpty());

    // What is there already is not asked for again; the launch goes on.
    const LaunchTarget ready{"127.0.0.1:1", "doom2.wad", true, {"extra.wad"}};
    QVERIFY(offerWadDownload(ready, sites, boxes, nullptr));
    // Nor without sites, nor when the game's own IWAD is missing.
    QVERIFY(offerWadDownload(server, {}, boxes, nullptr));
    QVERIFY(offerWadDownload({"127.0.0.1:1", "doom.wad", true, {"gone.wad"}}, sites, boxes, nullptr));
    QCOMPARE(boxes.questions.size(), size_t{2});

    // Cancel stops the fetch and the launch; nothing is left behind.
    const std::vector<std::string> slow{"http://" + sim.news() + "/faulty/slow/{name}"};
    const LaunchTarget another{"127.0.0.1:1", "doom2.wad", true, {"more.wad"}};
    writeFile(m_site.filePath(QStringLiteral("more.wad")), {kEmptyPwad, sizeof kEmptyPwad - 1});
    ModalScript cancel({{QStringLiteral("Downloading WADs"), [](QWidget& dialog) {
                             QTimer::singleShot(200, &dialog,
                                                [&dialog] { static_cast<QDialog&>(dialog).reject(); });
                         }}});
    QVERIFY(!offerWadDownload(another, slow, boxes, nullptr));
    QCOMPARE(QDir(m_wads.path()).entryList(QDir::Files),
             (QStringList{QStringLiteral("doom2.wad"), QStringLiteral("extra.wad")}));
}

QTEST_MAIN(WadDownloadTest)
#include "tst_wad_download.moc"

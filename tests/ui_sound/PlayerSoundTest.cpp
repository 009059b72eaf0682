// The player program with sound: the sample player's music is heard; a
// project's temporary sound files are gone however the player ends; with no
// sound server the game starts and plays silently.

#include <QDir>
#include <QtTest>
#include <memory>

#include "SoundRig.h"
#include "qtmain/QtTestRegistry.h"
#include "project/SoundFormats.h"

using namespace duduri;
using namespace duduri::test;

namespace {

const QString kBin = QString(DUDURI_BINARY_DIR) + "/bin/";

// A one-picture project with MP3 background music and a WMA win sound,
// written to `file`.
void writeProject(const QString& file) {
  TJigsawProject2 p;
  p.LoadFromStream(MakeTestPackage({.Pictures = 1, .NoHighScores = true}));
  p.Sounds.push_back({1, "music.mp3", soundFile("tone.mp3")});
  p.Sounds.push_back({2, "win.wma", soundFile("tone.wma")});
  p.SoundFormats.Add(1, kSoundCodeMp3);
  p.SoundFormats.Add(2, kSoundCodeWma);
  p.SoundSlots[0].SoundIDs = {1};
  p.SoundSlots[6].SoundIDs = {2};
  p.SaveToFile(file.toStdString());
}

QStringList leftIn(const QTemporaryDir& dir) {
  return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

}  // namespace

class PlayerSoundTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    server_ = std::make_unique<TNullSinkServer>();
    QVERIFY2(server_->Ready(), "pulseaudio with a null sink did not start");
    QVERIFY(project_.isValid());
    writeProject(project_.filePath("sounds.pzp"));
  }
  void cleanupTestCase() { server_.reset(); }

  void theSamplePlayerPlaysItsMusicAndLeavesNothingWhenKilled() {
    TRecorder recorder(server_->Address());
    QTemporaryDir temp;
    QProcess player;
    player.setProcessEnvironment(environment(temp, server_->Address()));
    player.start(kBin + "duduri", {});
    QVERIFY(player.waitForStarted(10000));
    QVERIFY(recorder.WaitForSound());
    player.kill();
    QVERIFY(player.waitForFinished(10000));
    QVERIFY(recorder.WaitForSilence());
    QCOMPARE(leftIn(temp), QStringList());
  }

  void aProjectsMediaFilesAreGoneAfterExit() {
    QTemporaryDir temp;
    QProcess player;
    QProcessEnvironment env = environment(temp, server_->Address());
    env.insert("DUDURI_EXIT_AFTER_FIRST_FRAME", "1");
    player.setProcessEnvironment(env);
    player.start(kBin + "duduri", {project_.filePath("sounds.pzp")});
    QVERIFY(player.waitForFinished(60000));
    QCOMPARE(player.exitStatus(), QProcess::NormalExit);
    QCOMPARE(player.exitCode(), 0);
    QCOMPARE(leftIn(temp), QStringList());
  }

  void withoutASoundServerTheGameStartsSilently() {
    // A message box or a wait for the sound system would keep it from its
    // first frame: it would never end by itself.
    QTemporaryDir temp;
    QProcess player;
    QProcessEnvironment env = environment(temp, "unix:" + temp.filePath("no-server"));
    env.insert("DUDURI_EXIT_AFTER_FIRST_FRAME", "1");
    player.setProcessEnvironment(env);
    player.start(kBin + "duduri", {project_.filePath("sounds.pzp")});
    QVERIFY(player.waitForFinished(60000));
    QCOMPARE(player.exitCode(), 0);
    QCOMPARE(leftIn(temp), QStringList());
  }

 private:
  static QProcessEnvironment environment(const QTemporaryDir& temp, const QString& server) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("PULSE_SERVER", server);
    env.insert("TMPDIR", temp.path());
    return env;
  }

  std::unique_ptr<TNullSinkServer> server_;
  QTemporaryDir project_;
};

DUDURI_QT_TEST(PlayerSoundTest)
#include "PlayerSoundTest.moc"

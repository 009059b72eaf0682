// The player's real window on the display it is given, with a game on it
// and a high score in its table as a won game leaves one; it says "ready"
// and plays on until the display-loss test takes the display away.
//
//   display_loss_probe FOLDER

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <fstream>

#include "project/HighScore.h"
#include "shell/TestProject.h"
#include "shell/ui/MainWindow.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  const std::filesystem::path folder = argv[1];
  const std::filesystem::path project = folder / "probe.pzp";
  const duduri::TBytes package = duduri::test::MakeTestPackage({.Pictures = 1});
  std::ofstream(project, std::ios::binary)
      .write(reinterpret_cast<const char*>(package.data()), std::streamsize(package.size()));

  duduri::TShellEnvironment env;
  env.Args = {project.string(), "-T"};
  env.ExeDir = folder;
  env.ExePath = folder / "duduri";
  env.HighScorePath = folder / "highscorefile.dat";
  env.Seed = 1;
  duduri::TfrmMain window(env);
  if (window.Terminated()) return 3;
  window.show();
  window.Flow().HighScores().Add({"Before the dark", 42, duduri::kScoreEasy});
  QTimer::singleShot(300, [] {
    std::printf("ready\n");
    std::fflush(stdout);
  });
  return app.exec();
}

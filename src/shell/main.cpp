// quenterra: the desktop program. The command line: a first argument ending in .qws opens that
// workspace; otherwise every argument is loaded as a corpus file.
#include <clocale>
#include <string>
#include <vector>

#include "config/SettingsFile.h"
#include "config/Workspace.h"
#include "shell/Application.h"
#include "shell/MainForm.h"

int main(int argc, char** argv) {
  using namespace quenterra;
  TApplication app(argc, argv);
  std::setlocale(LC_NUMERIC, "C");  // Qt sets the locale; the core formats numbers itself
  std::vector<std::string> args;
  for (const QString& arg : app.arguments().mid(1)) args.push_back(arg.toStdString());
  RegisterWorkspaceAssociation(QCoreApplication::applicationFilePath().toStdString());
  TMainForm form(args, DefaultConfigLocations());
  form.show();
  return app.exec();
}

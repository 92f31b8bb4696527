#include "app/SingleInstance.h"
#include "app/TarnikApplication.h"
#include "app/Ucheck.h"
#include "app/Umain.h"
#include "common/ProgramFiles.h"
#include "data/Udm1.h"
#include "data/sql/DatabaseError.h"
#include "serial/PortNames.h"
#include "timing/widgets/MessageBoxes.h"

#include <QIcon>
#include <optional>

int main(int argc, char** argv) {
    TarnikApplication app(argc, argv);
    // Started without the launcher, the program reads the launcher's data sources all the same.
    UseProgramDataSources();
    // The window manager's task bar and switcher show the program's own stopwatch.
    app.setWindowIcon(QIcon(QStringLiteral(":/pictures/icon.png")));

    SingleInstance instance(SingleInstance::DefaultServerName());
    if (instance.ActivateRunningInstance())
        return 0;

    // The main window exists (hidden) before the marker, so that a later start can be
    // answered from the moment the marker is made.
    TFmain Fmain;
    if (!instance.Listen(&Fmain)) {
        ShowMessage(nullptr, QStringLiteral("起動できません"));
        return 1;
    }
    // What the launcher could not do (start the private database) is said before anything.
    if (const QString problem = qEnvironmentVariable("TARNIK_LAUNCH_PROBLEM"); !problem.isEmpty())
        ShowErrorDialog(problem);
    std::optional<TDm1> dm1;
    try {
        dm1.emplace();
    } catch (const DatabaseError& error) {
        // The program starts all the same: the chosen server may answer, and a timing window
        // opens from its copy of the race while none does.
        ShowErrorDialog(error.message());
        dm1.emplace(nullptr, QString(), TDm1::Opening::Later);
    }
    TFcheck check;
    check.SetMainWindow(&Fmain);
    // COM<n>=<path> in section Port points port n at a device of the operator's choice.
    for (auto port = Fmain.PortPaths.cbegin(); port != Fmain.PortPaths.cend(); ++port)
        SetPortPathOverride(port.key(), port.value());
    Fmain.show();
    return app.exec();
}

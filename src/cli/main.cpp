// tessaly-cli: runs a script of workbench commands without a window.

#include "cli/ConsolePort.h"
#include "cli/ScriptRunner.h"
#include "workbench/Workbench.h"
#ifdef TESSALY_WITH_RENDER
#include "render/OffscreenPlot.h"
#endif

#include <fstream>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    bool keepCrLf = false;
    std::string scriptPath = "-";
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << tessaly::scriptHelp();
            return 0;
        }
        if (arg == "--crlf")
            keepCrLf = true;
        else
            scriptPath = arg;
    }

    tessaly::ConsolePort port(std::cout, std::cerr, keepCrLf);
    tessaly::Workbench wb(port);
    port.setResultSource([&wb]() -> const std::string& { return wb.log.text(); });
#ifdef TESSALY_WITH_RENDER
    // Save Graph draws the plot offscreen with the window's painter code.
    port.setImageWriter([&wb](const std::string& path) {
        tessaly::writeOffscreenPlot(wb, path);
        return true;
    });
#endif
    tessaly::ScriptRunner runner(wb, port, std::cout, std::cerr);

    if (scriptPath == "-")
        return runner.run(std::cin);
    std::ifstream script(scriptPath);
    if (!script) {
        std::cerr << "tessaly-cli: cannot open " << scriptPath << '\n';
        return 2;
    }
    return runner.run(script);
}

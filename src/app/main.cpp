#include "app/cli.h"
#include "app/gui.h"

int main(int argc, char** argv)
{
    // Without arguments the desktop program starts; with them, a command.
    if (argc <= 1)
        return ombrix::runGui(argc, argv);
    return ombrix::runCli(argc, argv);
}

#include "app/cli.h"

int main(int argc, char** argv)
{
    // The desktop program joins here later; today every run is a command.
    return ombrix::runCli(argc, argv);
}

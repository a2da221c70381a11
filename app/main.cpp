#include "app/Startup.h"

int main(int argc, char** argv)
{
    return parlino::ParlinoMain(argc, argv);
}

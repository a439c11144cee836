#include "config/raceapp.h"

int main(int argc, char **argv)
{
    RaceApp app(argc, argv);
    return app.run();
}

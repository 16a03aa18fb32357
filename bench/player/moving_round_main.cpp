// The rounds of the moving figures alone (moving_figures.h): what
// build_reference.sh builds as another commit's player_bench, whose own
// bench may lack the rest, and whose player may lack what the rest measures.
#include "moving_figures.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    return vizmo::bench::runMovingRound(QApplication::arguments()).value_or(2);
}

// salesum: summarises application sales reports.
#include "cli/run_driver.h"
#include "common/output.h"

int main(int argc, char* argv[]) {
    int status = runSalesum(argc, argv);
    return finishOutput(programNameOf(argc, argv), status);
}

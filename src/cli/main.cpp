// salesum: summarises application sales reports.
#include "cli/run_driver.h"
#include "common/output.h"

int main(int argc, char* argv[]) {
    OutputSink out = standardOutput();
    int status = runSalesum(argc, argv, out);
    return finishOutput(out, programNameOf(argc, argv), status);
}

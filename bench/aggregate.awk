# The benchmark's reference aggregation, run with mawk -F'\t' over the same
# report files: per application the records and the units of types 1 and 7;
# per application and currency the units and revenue of type 1. It prints one
# "A" line per application and one "C" line per cell of the revenue grid
# (every application with a sale times every currency met on a sale).
FNR == 1 { next }
{
    app = $7
    records[app]++
    if ($9 == 1) {
        sales[app] += $10
        cell = app SUBSEP $16
        cellUnits[cell] += $10
        cellAmount[cell] += $10 * $11
        sold[app] = 1
        currencies[$16] = 1
    } else if ($9 == 7) {
        updates[app] += $10
    }
}
END {
    for (app in records)
        printf "A\t%s\t%d\t%d\t%d\n", app, records[app], sales[app], updates[app]
    for (app in sold)
        for (currency in currencies) {
            cell = app SUBSEP currency
            printf "C\t%s\t%s\t%d\t%.2f\n", app, currency, cellUnits[cell], cellAmount[cell]
        }
}

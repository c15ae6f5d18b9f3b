# Turns a default salesum report into the lines aggregate.awk prints, so the
# two can be compared after sorting. The name column is as wide as the dashes
# under the summary header minus the 26 characters of its number columns.
/^AppName/ {
    table++
    if (table == 2) {
        count = 0
        for (i = 3; i <= NF; i += 2) currency[++count] = $i
    }
    next
}
/^-+$/ {
    dashes++
    if (dashes == 1) nameWidth = length($0) - 26
    next
}
table == 1 && NF >= 4 {
    app = substr($0, 1, nameWidth); sub(/ +$/, "", app)
    printf "A\t%s\t%d\t%d\t%d\n", app, $(NF - 2), $(NF - 1), $NF
}
# Rows of the revenue table lie between its header's dashes and the next ones.
table == 2 && dashes == 2 {
    app = substr($0, 1, nameWidth); sub(/ +$/, "", app)
    n = split(substr($0, nameWidth + 1), figure, " ")
    for (i = 1; i <= count; i++)
        printf "C\t%s\t%s\t%d\t%s\n", app, currency[i], figure[2 * i - 1], figure[2 * i]
}

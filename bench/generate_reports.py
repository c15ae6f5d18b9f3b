#!/usr/bin/env python3
"""Writes deterministic sales report sets for the benchmark.

Two shapes, both in the 23-column layout with CR-LF line ends:
  many  - 1,000 daily reports of 300 lines each (header included)
  big   - one report of 2,000,000 lines (about 230 MB)
  half  - the big report's first 1,000,000 lines (needs big), for the linearity check
  current - the big report's records in the current 28-column layout, read by
          its header names (needs big); some blank columns are written empty

Every run with the same arguments writes the same bytes. No field is ever
empty (blank columns hold one space), so splitting on single TABs and on runs
of TABs gives the same columns.

usage: generate_reports.py DIRECTORY [many|big|half|current|all]
"""

import datetime
import os
import random
import sys

HEADER = (
    "Provider\tProvider Country\tVendor Identifier\tUPC\tISRC\tArtist / Show\t"
    "Title / Episode / Season\tLabel/Studio/Network\tProduct Type Identifier\tUnits\t"
    "Royalty Price\tBegin Date\tEnd Date\tCustomer Currency\tCountry Code\t"
    "Royalty Currency\tPreorder\tSeason Pass\tISAN\tStore Identifier\tCustomer Price\t"
    "CMA\tAsset/Content Flavor"
)

# Country, currency, customer price of the 0.99 tier. Twelve currencies.
COUNTRIES = [
    ("US", "USD", 0.99), ("CA", "CAD", 0.99), ("MX", "MXN", 12.00),
    ("GB", "GBP", 0.59), ("DE", "EUR", 0.79), ("FR", "EUR", 0.79),
    ("IT", "EUR", 0.79), ("ES", "EUR", 0.79), ("NL", "EUR", 0.79),
    ("CH", "CHF", 1.10), ("SE", "SEK", 7.00), ("NO", "NOK", 7.00),
    ("DK", "DKK", 6.00), ("JP", "JPY", 115.0), ("AU", "AUD", 1.19),
    ("NZ", "NZD", 1.29),
]
# Rough weights of the countries' shares of sales.
COUNTRY_WEIGHTS = [40, 5, 2, 9, 8, 5, 4, 3, 3, 2, 2, 1, 1, 8, 5, 2]

DEVELOPERS = ["Cloudline Labs", "Quiet Fox Games", "Northwind Apps", "Blue Lantern",
              "Pixel Orchard", "Harbor Software", "Tiny Comet"]
FIRST = ["Weather", "Pocket", "Star", "Word", "Photo", "Night", "Tide", "Metro", "Zen",
         "Puzzle", "Radio", "Sketch"]
SECOND = ["Now", "Chess", "Gazer", "Smith", "Frame", "Sky", "Table", "Guide", "Timer",
          "Quest", "Box", "Pad"]


def make_apps(rng):
    """Forty-eight applications: name, developer, vendor id, price tier."""
    names = set()
    while len(names) < 48:
        name = rng.choice(FIRST) + rng.choice([" ", ""]) + rng.choice(SECOND)
        if rng.random() < 0.2:
            name += " Lite"
        names.add(name)
    apps = []
    for index, name in enumerate(sorted(names)):
        apps.append((name, rng.choice(DEVELOPERS), str(1001 + index), rng.choice([0, 1, 1, 2, 3, 5])))
    return apps


def date_text(day, slashed):
    return day.strftime("%m/%d/%Y") if slashed else day.strftime("%Y%m%d")


class Writer:
    def __init__(self, seed):
        self.rng = random.Random(seed)
        self.apps = make_apps(self.rng)
        # Popular applications sell far more often than the rest.
        self.app_weights = [1.0 / (rank + 1) ** 0.8 for rank in range(len(self.apps))]

    def lines(self, count, begin, end, slashed):
        rng = self.rng
        apps = rng.choices(self.apps, self.app_weights, k=count)
        countries = rng.choices(COUNTRIES, COUNTRY_WEIGHTS, k=count)
        begin_text = date_text(begin, slashed)
        end_text = date_text(end, slashed)
        out = []
        for (name, developer, vendor, tier), (country, currency, base) in zip(apps, countries):
            if tier == 0 or rng.random() < 0.12:
                type_code, units, royalty, customer = "7", rng.randint(1, 400), "0", "0"
            else:
                type_code = "1"
                units = rng.randint(1, 60) if rng.random() < 0.97 else -rng.randint(1, 3)
                price = base * tier
                customer = "%.2f" % price
                royalty = "%.2f" % (price * 0.7)
            out.append("\t".join([
                "STORE", "US", vendor, " ", " ", developer, name, " ", type_code, str(units),
                royalty, begin_text, end_text, currency, country, currency, " ", " ", " ",
                str(301234000 + int(vendor)), customer, " ", " "]))
        return out


def write_file(path, header, lines):
    with open(path, "w", newline="") as out:
        out.write(header + "\r\n")
        out.write("\r\n".join(lines))
        out.write("\r\n")


def write_many(directory):
    """1,000 daily reports; the older half uses MM/DD/YYYY, the newer YYYYMMDD."""
    os.makedirs(directory, exist_ok=True)
    writer = Writer(20081102)
    first = datetime.date(2008, 7, 10)
    for index in range(1000):
        day = first + datetime.timedelta(days=index)
        lines = writer.lines(299, day, day, slashed=index < 500)
        write_file(os.path.join(directory, "S_D_%s.txt" % day.strftime("%Y%m%d")), HEADER, lines)


def big_lines(writer, count):
    """Weekly blocks of 5,000 lines; the date form switches every ten weeks."""
    first = datetime.date(2008, 7, 6)
    week = 0
    while count > 0:
        take = min(5000, count)
        begin = first + datetime.timedelta(weeks=week)
        yield writer.lines(take, begin, begin + datetime.timedelta(days=6), slashed=(week // 10) % 2 == 0)
        count -= take
        week += 1


def write_big(path, records):
    writer = Writer(20090705)
    with open(path, "w", newline="") as out:
        out.write(HEADER + "\r\n")
        for block in big_lines(writer, records):
            out.write("\r\n".join(block))
            out.write("\r\n")


CURRENT_HEADER = (
    "Provider\tProvider Country\tSKU\tDeveloper\tTitle\tVersion\tProduct Type Identifier\t"
    "Units\tDeveloper Proceeds\tBegin Date\tEnd Date\tCustomer Currency\tCountry Code\t"
    "Currency of Proceeds\tStore Identifier\tCustomer Price\tPromo Code\tParent Identifier\t"
    "Subscription\tPeriod\tCategory\tCMB\tDevice\tSupported Platforms\tProceeds Reason\t"
    "Preserved Pricing\tClient\tOrder Type"
)


def write_current(source, path):
    """The records of source, field for field, in the current layout."""
    with open(source, newline="") as lines, open(path, "w", newline="") as out:
        lines.readline()
        out.write(CURRENT_HEADER + "\r\n")
        for line in lines:
            f = line.rstrip("\r\n").split("\t")
            out.write("\t".join([
                f[0], f[1], f[2], f[5], f[6], "", f[8], f[9], f[10], f[11], f[12], f[13], f[14],
                f[15], f[19], f[20], " ", "", " ", "", "Games", "", "iPhone", "iOS", "", " ", "",
                ""]) + "\r\n")


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    directory = sys.argv[1]
    shape = sys.argv[2] if len(sys.argv) > 2 else "all"
    if shape in ("many", "all"):
        write_many(os.path.join(directory, "many"))
    if shape in ("big", "all"):
        os.makedirs(os.path.join(directory, "big"), exist_ok=True)
        write_big(os.path.join(directory, "big", "S_W_big.txt"), 2000000 - 1)
    if shape in ("half", "all"):
        # The big file's first 1,000,000 lines, for the linearity check.
        os.makedirs(os.path.join(directory, "half"), exist_ok=True)
        with open(os.path.join(directory, "big", "S_W_big.txt"), "rb") as whole, \
                open(os.path.join(directory, "half", "S_W_half.txt"), "wb") as half:
            for _ in range(1000000):
                half.write(whole.readline())
    if shape in ("current", "all"):
        os.makedirs(os.path.join(directory, "current"), exist_ok=True)
        write_current(os.path.join(directory, "big", "S_W_big.txt"),
                      os.path.join(directory, "current", "S_W_current.txt"))


if __name__ == "__main__":
    main()

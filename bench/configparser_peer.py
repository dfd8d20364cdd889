"""A peer of vendaro's start-up: reads the library with Python's configparser and takes what
the script list shows of each script."""
import configparser, sys

parser = configparser.RawConfigParser(strict=False, interpolation=None)
parser.read(sys.argv[1], encoding="latin-1")
rows = [(s, parser.get(s, "Description", fallback=""), parser.get(s, "DSN_Driver", fallback=""))
        for s in parser.sections()]
print(len(rows))

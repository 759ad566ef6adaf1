#!/usr/bin/python3
"""Checks outputs of keldo-check-report --json against its JSON Schema.

    validate-report.py SCHEMA FILE...

One line per problem on standard output; exit status 0 when every file is a
valid report, 1 when one is not, 2 when the schema itself is broken.
"""
import json
import sys

from jsonschema import Draft202012Validator
from jsonschema.exceptions import SchemaError


def main(schema_path, paths):
    with open(schema_path, encoding="utf-8") as f:
        schema = json.load(f)
    try:
        Draft202012Validator.check_schema(schema)
    except SchemaError as error:
        print(f"{schema_path}: {error.message}")
        return 2
    validator = Draft202012Validator(schema)
    status = 0
    for path in paths:
        try:
            with open(path, encoding="utf-8") as f:
                report = json.load(f)
        except (OSError, ValueError) as error:
            print(f"{path}: not JSON: {error}")
            status = 1
            continue
        for error in validator.iter_errors(report):
            where = "/".join(str(part) for part in error.absolute_path) or "(the object)"
            print(f"{path}: {where}: {error.message}")
            status = 1
    return status


if __name__ == "__main__":
    if len(sys.argv) < 3:
        print(__doc__.strip(), file=sys.stderr)
        sys.exit(64)
    sys.exit(main(sys.argv[1], sys.argv[2:]))

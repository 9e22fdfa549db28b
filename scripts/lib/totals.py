#!/usr/bin/env python3
"""Adds up the test cases of the build trees given as arguments and prints the totals.

Cases come from the GoogleTest XML reports in <tree>/test-results; a CTest test that left
no report (a script test, or a program that died before writing one) counts as one case
with CTest's own verdict from <tree>/ctest-junit.xml. The Windows trees build the same tests
for two architectures: a case that one of them ran and another did not is a failure.
"""
import os
import sys
import xml.etree.ElementTree as ET


def gtest_counts(path):
    root = ET.parse(path).getroot()
    tests = int(root.get("tests", 0))
    failures = int(root.get("failures", 0)) + int(root.get("errors", 0))
    skipped = int(root.get("skipped", 0)) + int(root.get("disabled", 0))
    names = {f"{case.get('classname')}.{case.get('name')}" for case in root.iter("testcase")}
    return (tests - failures - skipped, failures, skipped), names


def main(trees):
    grand = [0, 0, 0]
    windows_cases = {}
    for tree in trees:
        name = os.path.basename(os.path.normpath(tree))
        counts = [0, 0, 0]
        cases = set()
        reported = set()
        results = os.path.join(tree, "test-results")
        if os.path.isdir(results):
            for file in sorted(os.listdir(results)):
                if not file.endswith(".xml"):
                    continue
                try:
                    found, names = gtest_counts(os.path.join(results, file))
                    for i, n in enumerate(found):
                        counts[i] += n
                    cases |= {f"{file[:-4]}/{n}" for n in names}
                    reported.add(file[:-4])
                except ET.ParseError:
                    pass
        junit = os.path.join(tree, "ctest-junit.xml")
        if os.path.isfile(junit):
            for case in ET.parse(junit).getroot().iter("testcase"):
                if case.get("name") in reported:
                    continue
                cases.add(case.get("name"))
                if case.find("failure") is not None or case.find("error") is not None:
                    counts[1] += 1
                elif case.find("skipped") is not None:
                    counts[2] += 1
                else:
                    counts[0] += 1
        print(f"{name}: {counts[0]} passed, {counts[1]} failed, {counts[2]} skipped")
        grand = [a + b for a, b in zip(grand, counts)]
        if name.startswith("win"):
            windows_cases[name] = cases
    for name, cases in windows_cases.items():
        for other, theirs in windows_cases.items():
            missing = sorted(theirs - cases)
            if missing:
                print(f"{name} lacks {len(missing)} case(s) that {other} ran: "
                      + ", ".join(missing[:5]))
                grand[1] += len(missing)
    print(f"{grand[0]} passed, {grand[1]} failed, {grand[2]} skipped")
    return 1 if grand[1] else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

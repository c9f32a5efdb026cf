#!/usr/bin/env bash
# Runs the placement test for an 800x600 screen on a Wine virtual desktop of that size.
# Wine's explorer keeps no exit code, so the verdict comes from the test's JSON report.
set -u
tests_exe=$1
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/wine-env"
velmora_prefix_ready
report=$(mktemp --suffix=.json)
trap 'rm -f "$report"' EXIT
velmora_wine explorer /desktop=velmora800,800x600 "$tests_exe" --gtest_also_run_disabled_tests \
    --gtest_filter='*800x600*' --gtest_output="json:$(winepath -w "$report")" >/dev/null 2>&1
cat "$report"
python3 - "$report" <<'PY'
import json, sys
report = json.load(open(sys.argv[1]))
tests = [t for s in report["testsuites"] for t in s["testsuite"]]
ok = report["tests"] == 1 and report["failures"] == 0 and tests[0]["result"] == "COMPLETED"
print("800x600 placement:", "passed" if ok else "FAILED")
sys.exit(0 if ok else 1)
PY

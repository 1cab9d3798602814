"""What a mutation run keeps and prints: the reviewed list of equivalent
mutants, the results saved after every mutant, and the score per folder with
the survivors.
"""
import json
import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
EQUIVALENTS = os.path.join("tools", "mutate", "equivalents.tsv")
RESULTS = os.path.join(ROOT, "build", "mutation", "results.json")
FOLDERS = ["src/plugin", "src/widget", "src/engine", "src/config", "src/game", "src/log", "src/platform"]


def read_equivalents():
    listed = {}
    with open(os.path.join(ROOT, EQUIVALENTS), encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            if not line.strip() or line.startswith("#"):
                continue
            fields = line.rstrip("\n").split("\t")
            if len(fields) != 5 or not fields[2].isdigit() or not fields[4].strip():
                sys.exit("%s:%d: expected file, mutation, occurrence, source line and reason, separated by tabs"
                         % (EQUIVALENTS, number))
            path, op, occurrence, line_text, reason = fields
            listed[(path, op, int(occurrence), " ".join(line_text.split()))] = reason
    return listed


def read_results():
    try:
        with open(RESULTS, encoding="utf-8") as f:
            return {tuple(entry["key"]): entry for entry in json.load(f)}
    except (OSError, ValueError, KeyError, TypeError):
        return {}


def write_results(saved):
    os.makedirs(os.path.dirname(RESULTS), exist_ok=True)
    with open(RESULTS + ".new", "w", encoding="utf-8") as f:
        json.dump(list(saved.values()), f, indent=0)
    os.replace(RESULTS + ".new", RESULTS)


def report(entries, equivalents, check_stale):
    """Prints the score per folder and the survivors; returns the survivors."""
    results = {folder: {"killed": 0, "compiler": 0, "survived": 0, "unrun": 0, "equivalent": 0}
               for folder in FOLDERS}
    survivors, matched = [], set()
    for mu, outcome, unrun in entries:
        folder = results[mu.path.rsplit("/", 1)[0]]
        if outcome == "survived" and mu.key() in equivalents:
            outcome = "equivalent"
            matched.add(mu.key())
        folder[outcome] += 1
        if outcome == "survived":
            survivors.append((mu, unrun))
            folder["unrun"] += unrun
    print("\nScore per folder: killed by a test / (killed by a test + survived). Mutants that did not build\n"
          "(compiler) and listed equivalent ones are counted apart, in neither.")
    total_killed = total_scored = 0
    for name in FOLDERS:
        r = results[name]
        scored = r["killed"] + r["survived"]
        total_killed += r["killed"]
        total_scored += scored
        score = "%5.1f%%" % (100.0 * r["killed"] / scored) if scored else "    -"
        print("  %-13s %s  killed %d (compiler %d), survived %d (%d on lines no test runs), equivalent %d"
              % (name, score, r["killed"], r["compiler"], r["survived"], r["unrun"], r["equivalent"]))
    if total_scored:
        print("  %-13s %5.1f%%  of %d mutants that can change behaviour" % ("src", 100.0 * total_killed / total_scored,
                                                                             total_scored))
    if survivors:
        print("\nSurviving mutants (add a test, or list the mutant in %s with the reason it is equivalent):"
              % EQUIVALENTS)
        for mu, unrun in survivors:
            print("  " + mu.describe() + ("  (no test runs this line)" if unrun else ""))
            print("    as a list entry: %s\t%s\t%d\t%s\t<why>" % (mu.path, mu.op, mu.occurrence, mu.line_text))
    if check_stale:
        for key in equivalents:
            if key not in matched:
                print("note: listed equivalent mutant no longer found, or killed now: %s [%s #%d] %s"
                      % (key[0], key[1], key[2], key[3]))
    return survivors


def report_saved_results(mutants, equivalents):
    saved = read_results()
    entries = [(mu, saved[mu.key()]["outcome"], saved[mu.key()].get("unrun", False))
               for mu in mutants if mu.key() in saved]
    survivors = report(entries, equivalents, check_stale=len(entries) == len(mutants))
    if len(entries) < len(mutants):
        print("\n%d of %d mutants have no saved result (run them with --resume)"
              % (len(mutants) - len(entries), len(mutants)))
    return 1 if survivors or len(entries) < len(mutants) else 0

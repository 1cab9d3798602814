"""The mutants of a source file, and a sample of them.

A mutant is one small fault in the code: a comparison flipped, a logical or
arithmetic operator swapped, a constant changed, a returned boolean
inverted, a statement deleted, a condition forced. Only code is mutated:
comments, literals and preprocessor lines are left alone. A mutant is named
by its file, its mutation, the text of its source line and its occurrence
among mutants with the same three, so that the reviewed list of equivalent
mutants keeps matching while the code around it changes.
"""
import hashlib
import random
import re


class Mutant:
    def __init__(self, path, start, end, replacement, op, line_no, line_text):
        self.path, self.start, self.end, self.replacement = path, start, end, replacement
        self.op, self.line_no, self.line_text = op, line_no, line_text
        self.occurrence = 1

    def key(self):
        return (self.path, self.op, self.occurrence, self.line_text)

    def describe(self):
        return "%s:%d  %s  [%s #%d]" % (self.path, self.line_no, self.line_text, self.op, self.occurrence)


HEX = "0123456789abcdefABCDEF"


def code_mask(text):
    """Marks which characters are code: not comments, literals or preprocessor lines."""
    mask = bytearray(b"\x01" * len(text))
    i, n = 0, len(text)
    at_line_start = True
    while i < n:
        c = text[i]
        if at_line_start and c == "#":
            j = i
            while j < n and (text[j] != "\n" or text[j - 1] == "\\"):
                j += 1
            mask[i:j] = b"\x00" * (j - i)
            i = j
            continue
        if c == "\n":
            at_line_start = True
            i += 1
            continue
        if not c.isspace():
            at_line_start = False
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            mask[i:j] = b"\x00" * (j - i)
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            mask[i:j] = b"\x00" * (j - i)
            i = j
        elif c == 'R' and text.startswith('R"', i) and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == "_")):
            delim = text[i + 2:text.find("(", i)]
            j = text.find(")" + delim + '"', i)
            j = n if j < 0 else j + len(delim) + 2
            mask[i:j] = b"\x00" * (j - i)
            i = j
        elif c in "\"'" and not (c == "'" and 0 < i < n - 1 and text[i - 1] in HEX and text[i + 1] in HEX):
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if text[j] == "\\" else 1
            j += 1
            mask[i:j] = b"\x00" * (j - i)
            i = j
        else:
            i += 1
    return mask


def matching_paren(text, mask, open_at):
    depth = 0
    for j in range(open_at, len(text)):
        if not mask[j]:
            continue
        if text[j] == "(":
            depth += 1
        elif text[j] == ")":
            depth -= 1
            if depth == 0:
                return j
    return -1


RELATIONAL = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "=="}
ARITHMETIC = {"+": "-", "-": "+", "*": "/", "/": "*", "%": "*", "&": "|", "|": "&", "^": "|",
              "<<": ">>", ">>": "<<", "+=": "-=", "-=": "+=", "|=": "&=", "&=": "|="}
LOGICAL = {"&&": "||", "||": "&&"}
DECLARATION_START = re.compile(r"^(const|constexpr|static|auto|unsigned|signed|int|bool|char|float|double|void|"
                               r"std::\w+|u?int\d+_t|size_t|using|typedef|return|case|default|template|"
                               r"namespace|class|struct|enum|public|private|protected|friend|else|do)\b")
STATEMENT = re.compile(r"^[\w:.>\-\[\]()*]+?(\s*(=|\+=|-=|\*=|/=|\|=|&=|<<=|>>=)\s|\(|\+\+|--)")


def find_mutants(path, text):
    mask = code_mask(text)
    line_starts = [0] + [m.end() for m in re.finditer("\n", text)]
    lines = text.split("\n")
    mutants = []

    def line_of(pos):
        lo, hi = 0, len(line_starts) - 1
        while lo < hi:
            mid = (lo + hi + 1) // 2
            if line_starts[mid] <= pos:
                lo = mid
            else:
                hi = mid - 1
        return lo

    def add(start, end, replacement, op):
        if not all(mask[start:end]):
            return
        ln = line_of(start)
        if "static_assert" in lines[ln]:
            return  # checked by the compiler already
        mutants.append(Mutant(path, start, end, replacement, op, ln + 1, code_of_line(ln)))

    def code_of_line(ln):
        """The line's text without a trailing comment, whitespace collapsed."""
        begin, line = line_starts[ln], lines[ln]
        for p in range(len(line)):
            if line.startswith("//", p) and not mask[begin + p] and (p == 0 or mask[begin + p - 1]):
                line = line[:p]
                break
        return " ".join(line.split())

    # Binary operators written with a space either side, as the code is formatted;
    # this keeps template brackets, pointers and references out.
    for m in re.finditer(r"(?<=\s)(<<=|>>=|<=|>=|==|!=|&&|\|\||<<|>>|\+=|-=|\|=|&=|[<>+\-*/%&|^])(?=\s)", text):
        token = m.group(1)
        if token in RELATIONAL:
            add(m.start(1), m.end(1), RELATIONAL[token], "relational %s -> %s" % (token, RELATIONAL[token]))
        elif token in LOGICAL:
            add(m.start(1), m.end(1), LOGICAL[token], "logical %s -> %s" % (token, LOGICAL[token]))
        elif token in ARITHMETIC:
            add(m.start(1), m.end(1), ARITHMETIC[token], "arithmetic %s -> %s" % (token, ARITHMETIC[token]))
    # A negation dropped.
    for m in re.finditer(r"(?<![\w)\]!=<>&|])!(?=[\w(*])", text):
        add(m.start(), m.end(), "", "logical ! removed")
    # Constants: integers and decimals, not parts of names.
    for m in re.finditer(r"(?<![\w.])(0[xX][0-9A-Fa-f']+|\d[\d']*(\.\d*)?([eE][+-]?\d+)?)([uUlLfF]*)(?![\w.])", text):
        number, suffix = m.group(1), m.group(4)
        if number.lower().startswith("0x"):
            value = int(number.replace("'", ""), 16)
            new = "0x%X" % (value + 1)
        elif m.group(2) or m.group(3):
            new = repr(float(number.replace("'", "")) + 1.0)
        else:
            value = int(number.replace("'", ""))
            new = "1" if value == 0 else "0" if value == 1 else str(value + 1)
        add(m.start(), m.end(), new + suffix, "constant %s -> %s" % (number + suffix, new + suffix))
    # Return values inverted.
    for m in re.finditer(r"\breturn (true|false);", text):
        new = "false" if m.group(1) == "true" else "true"
        add(m.start(1), m.end(1), new, "return %s -> %s" % (m.group(1), new))
    # Conditions forced either way (not those that declare a name).
    for m in re.finditer(r"\bif \(", text):
        if not mask[m.start()]:
            continue
        close = matching_paren(text, mask, m.end() - 1)
        if close < 0:
            continue
        condition = text[m.end():close]
        if ";" in condition or re.search(r"(?<![=!<>])=(?!=)", condition):
            continue
        add(m.end(), close, "true", "condition forced true")
        add(m.end(), close, "false", "condition forced false")
    # Whole statements deleted: calls, assignments, increments, break and continue
    # standing alone on their lines.
    for ln, line in enumerate(lines):
        stripped = line.strip()
        start = line_starts[ln] + (len(line) - len(line.lstrip()))
        end = start + len(stripped)
        if not stripped.endswith(";") or stripped.count("(") != stripped.count(")"):
            continue
        if stripped in ("break;", "continue;") or (STATEMENT.match(stripped) and not DECLARATION_START.match(stripped)
                                                    and not re.match(r"^\w[\w:<>,]*[&*]?\s+[&*]?\w+\s*[=({;]", stripped)):
            if all(mask[start:end - 1]):
                add(start, end, ";", "statement deleted")
    mutants.sort(key=lambda mu: (mu.start, mu.op))
    seen = {}
    for mu in mutants:
        k = (mu.op, mu.line_text)
        seen[k] = seen.get(k, 0) + 1
        mu.occurrence = seen[k]
    return mutants


def choose_sample(mutants, count, seed):
    """The same share from every folder, chosen by the seed; each folder's
    mutants are drawn in a random order and the folders take turns."""
    chooser = random.Random(int(hashlib.sha256(seed.encode()).hexdigest(), 16))
    by_folder = {}
    for mu in mutants:
        by_folder.setdefault(mu.path.rsplit("/", 1)[0], []).append(mu)
    queues = [chooser.sample(group, len(group)) for _, group in sorted(by_folder.items())]
    chosen = []
    while len(chosen) < count and any(queues):
        for queue in queues:
            if queue and len(chosen) < count:
                chosen.append(queue.pop())
    return chosen

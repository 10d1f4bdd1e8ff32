#!/usr/bin/env python3
"""The mutants of scripts/mutants.sh, and its choice of tests.

plan:  lists the one-token faults ("mutants") that can be made in the given C++ lines, picks some at random
       (repeatably, from a seed) and writes each picked mutant's whole file out, with a table of them.
tests: reads ctest's test list (--show-only=json-v1) and writes, for each test executable, the numbers of its
       tests as a file for ctest's -I.
"""
import argparse
import json
import random
import re
import signal
import subprocess
import sys
from collections import Counter
from pathlib import Path

# Each kind of mutant: a pattern found in the masked code (see mask) and the texts that replace what it matched.
# Binary operators are told apart by the spaces around them, as the code is formatted: that leaves out unary
# signs, ++, --, +=, ->, <<, >>, template angle brackets (std::vector<int>) and #include <...>.
SWAPS = {'<': '<=', '<=': '<', '>': '>=', '>=': '>', '==': '!=', '!=': '==', '&&': '||', '||': '&&',
         '+': '-', '-': '+'}
SPACED_OPERATOR = re.compile(r'(?<!\S)(<=|>=|==|!=|&&|\|\||<|>|\+|-)(?!\S)')
LOGICAL_NOT = re.compile(r'(?<![!=])!(?=[\w(])')
INTEGER = re.compile(r'(?<![\w.\'])\d+(?=[uUlL]*(?![\w.\']))')
BOOLEAN = re.compile(r'\b(?:true|false)\b')
MIN_MAX = re.compile(r'\bstd::(?:min|max)\b')
# A whole call statement on one line: Name(...); obj.Name(...); ns::Name(...); ptr->Name(...);
CALL_STATEMENT = re.compile(r'\s*(?:[A-Za-z_]\w*(?:::|\.|->))*([A-Za-z_]\w*)(\(.*\));\s*')
NOT_CALLS = {'if', 'for', 'while', 'switch', 'return', 'sizeof', 'decltype', 'static_assert', 'catch'}


def token_mutants(code):
    """(column, length, replacement, description) of every token mutant in a masked line."""
    for m in SPACED_OPERATOR.finditer(code):
        yield m.start(), len(m.group()), SWAPS[m.group()], f"'{m.group()}' -> '{SWAPS[m.group()]}'"
    for m in LOGICAL_NOT.finditer(code):
        yield m.start(), 1, '', "'!' dropped"
    for m in INTEGER.finditer(code):
        value = m.group()
        if len(value) > 1 and value.startswith('0'):
            continue  # octal
        for step in (1, -1):
            if int(value) + step >= 0:
                yield m.start(), len(value), str(int(value) + step), f'{value} -> {int(value) + step}'
    for m in BOOLEAN.finditer(code):
        other = 'false' if m.group() == 'true' else 'true'
        yield m.start(), len(m.group()), other, f'{m.group()} -> {other}'
    for m in MIN_MAX.finditer(code):
        other = 'std::max' if m.group() == 'std::min' else 'std::min'
        yield m.start(), len(m.group()), other, f'{m.group()} -> {other}'


def is_call_statement(code, previous):
    """A line that is one whole call statement, standing where a statement stands: the code before it ended a
    statement or opened or closed a block or a label (not a brace-less if's head, not an expression's middle)."""
    m = CALL_STATEMENT.fullmatch(code)
    if not m or m.group(1) in NOT_CALLS or not previous.rstrip().endswith((';', '{', '}', ':')):
        return False
    depth = 0
    for i, c in enumerate(m.group(2)):  # the call's own parentheses must close only at the end
        depth += {'(': 1, ')': -1}.get(c, 0)
        if depth == 0 and i < len(m.group(2)) - 1:
            return False
    return True


def mask(lines):
    """The lines with comments, preprocessor lines and their continuations blanked, and the insides of string
    and character literals replaced by '_', each as long as its line, so that a column means the same in both.
    (Raw string literals are not recognised: the program has none.)"""
    masked, in_comment, directive = [], False, False
    for line in lines:
        if directive or (not in_comment and line.lstrip().startswith('#')):
            directive = line.rstrip().endswith('\\')
            masked.append(' ' * len(line))
            continue
        out, quote, i = list(line), None, 0
        while i < len(line):
            pair = line[i:i + 2]
            if in_comment:
                in_comment = pair != '*/'
                width = 1 if in_comment else 2
                out[i:i + width] = ' ' * width
                i += width
            elif quote:
                if line[i] == '\\':
                    out[i:i + 2] = '_' * len(pair)
                    i += 2
                    continue
                if line[i] == quote:
                    quote = None
                else:
                    out[i] = '_'
                i += 1
            elif pair == '//':
                out[i:] = ' ' * (len(line) - i)
                break
            elif pair == '/*':
                in_comment = True
                out[i:i + 2] = '  '
                i += 2
            else:
                quote = line[i] if line[i] in '"\'' else None
                i += 1
        masked.append(''.join(out))
    return masked


def read_lines(path):
    """The file's lines with their endings; only a line feed ends a line, as for the compiler and git."""
    return re.findall(r'[^\n]*\n|[^\n]+$', path.read_bytes().decode('utf-8'))


def file_mutants(path, wanted):
    """Every mutant of the file's lines whose numbers are in wanted (None: every line), as
    (line number, column, description, line, mutated line)."""
    lines = [line.rstrip('\r\n') for line in read_lines(path)]
    previous = ''
    for number, (line, code) in enumerate(zip(lines, mask(lines)), 1):
        if not code.strip():
            continue  # blank, comment or preprocessor line
        if wanted is None or number in wanted:
            for column, length, text, description in token_mutants(code):
                yield number, column, description, line, line[:column] + text + line[column + length:]
            if is_call_statement(code, previous):
                yield number, len(line) - len(line.lstrip()), 'call removed', line, ''
        previous = code


def changed_lines(root, rev):
    """{file: {line numbers}} of the src/ lines that the working tree adds or changes against rev."""
    command = ['git', '-C', str(root), 'diff', '-U0', '--no-color', '--src-prefix=a/', '--dst-prefix=b/', rev,
               '--', 'src/*.cpp', 'src/*.h']
    diff = subprocess.run(command, check=True, capture_output=True, text=True).stdout
    changed, current = {}, None
    for line in diff.splitlines():
        if line.startswith('+++ '):
            current = None if line == '+++ /dev/null' else root / line[6:]
        elif line.startswith('@@') and current:
            start, _, count = re.match(r'@@ -\S+ \+(\d+)(,(\d+))? @@', line).groups()
            changed.setdefault(current, set()).update(range(int(start), int(start) + int(count or 1)))
    return changed


def named_lines(arguments):
    """{file: {line numbers} or None for every line} from FILE and FILE:LINE arguments."""
    named = {}
    for argument in arguments:
        name, _, number = argument.rpartition(':') if re.search(r':\d+$', argument) else (argument, '', '')
        path = Path(name).resolve()
        if not path.is_file():
            sys.exit(f'mutants: no file {name}')
        if not number:
            named[path] = None
        elif named.get(path, set()) is not None:
            named.setdefault(path, set()).add(int(number))
    return named


def pick(candidates, count, seed):
    """count candidates at random, spread over the lines: one per line in a random order of lines, then a
    second per line, and so on."""
    random.Random(seed).shuffle(candidates)
    taken_on = Counter()
    rounds = []
    for candidate in candidates:
        rounds.append(taken_on[candidate[:2]])
        taken_on[candidate[:2]] += 1
    order = sorted(range(len(candidates)), key=lambda i: rounds[i])  # stable: random order within a round
    return sorted((candidates[i] for i in order[:count]), key=lambda c: (str(c[0]), c[1], c[2]))


def plan(args):
    root = Path(args.root).resolve()
    files = changed_lines(root, args.since) if args.since else named_lines(args.files)
    candidates = [(path, *mutant) for path, wanted in sorted(files.items())
                  for mutant in file_mutants(path, wanted)]

    def shown(path):
        return str(path.relative_to(root)) if path.is_relative_to(root) else str(path)

    if args.list:
        for path, number, column, description, before, after in candidates:
            print(f'{shown(path)}:{number}:{column + 1}\t{description}\t{(after or before).strip()}')
        return
    out = Path(args.out)
    with open(out / 'plan.tsv', 'w', encoding='utf-8') as table:
        picked = pick(candidates, args.count, args.seed)
        print(f'mutants: {len(picked)} of {len(candidates)} candidates (seed {args.seed})')
        for index, (path, number, column, description, before, after) in enumerate(picked, 1):
            lines = read_lines(path)
            lines[number - 1] = after + lines[number - 1][len(before):]  # the line's own ending kept
            (out / f'mutant-{index}').write_bytes(''.join(lines).encode('utf-8'))
            fields = [index, path, f'{shown(path)}:{number}:{column + 1}', description, before.strip(), after.strip()]
            table.write('\t'.join(str(f).replace('\t', ' ') for f in fields) + '\n')


def tests(args):
    """The -I files: "0,0,0,n,m,..." lists tests n, m, ... (the first three fields, a range, left empty)."""
    numbers = {}
    wanted = re.compile(args.regex)
    for number, test in enumerate(json.load(sys.stdin)['tests'], 1):
        executables = [Path(part).stem for part in test.get('command', []) if part.endswith('.exe')]
        if executables and wanted.search(test['name']):
            numbers.setdefault(executables[0], []).append(str(number))
    for executable, listed in numbers.items():
        Path(args.out, f'{executable}.tests').write_text('0,0,0,' + ','.join(listed) + '\n')
        print(executable, len(listed))


def main():
    signal.signal(signal.SIGPIPE, signal.SIG_DFL)  # quiet when the list is cut short by head or less
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    commands = parser.add_subparsers(dest='command', required=True)
    p = commands.add_parser('plan')
    p.add_argument('--root', required=True)
    p.add_argument('--since')
    p.add_argument('--count', type=int, default=40)
    p.add_argument('--seed', type=int, default=1)
    p.add_argument('--list', action='store_true')
    p.add_argument('--out')
    p.add_argument('files', nargs='*')
    t = commands.add_parser('tests')
    t.add_argument('--regex', default='')
    t.add_argument('--out', required=True)
    args = parser.parse_args()
    if args.command == 'plan':
        plan(args)
    else:
        tests(args)


if __name__ == '__main__':
    main()

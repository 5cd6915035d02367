#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The manual page and the program's own --help must not disagree.

Every command the program's --help names (a word whose own --help is a
command's help), and every option that the program or one of its commands
lists, must be in the page's COMMANDS and OPTIONS; every command and option
the page documents must be one the program knows; the exit codes named by
--help must be in EXIT STATUS; and man --warnings must be silent.

Usage: manpage_test.py OMBRIX_BINARY PAGE
"""
import os
import re
import subprocess
import sys

binary, page = sys.argv[1], sys.argv[2]
env = dict(os.environ, QT_QPA_PLATFORM="offscreen", LC_ALL="C.UTF-8")
failures = []


def run(*args):
    r = subprocess.run([binary, *args], capture_output=True, text=True, env=env, timeout=60)
    return r.returncode, r.stdout


def options_in(text):
    return set(re.findall(r"(?<![\w-])(--[a-z][a-z-]*|-[a-zA-Z])\b", text))


# The page as man shows it, one section per heading.
man_env = dict(env, MANWIDTH="200", MAN_KEEP_FORMATTING="0")
shown = subprocess.run(["man", "--warnings", "-E", "UTF-8", "-l", page], capture_output=True,
                       text=True, env=man_env, timeout=60)
if shown.returncode != 0:
    failures.append(f"man -l failed: {shown.stderr.strip()}")
if shown.stderr.strip():
    failures.append("man --warnings:\n" + shown.stderr)
text = re.sub(r".\x08", "", shown.stdout)  # overstrike, where a pager would show bold
sections = {}
current = None
for line in text.splitlines():
    if re.match(r"^[A-Z][A-Z ]+$", line):
        current = line.strip()
        sections[current] = []
    elif current:
        sections[current].append(line)
section = {k: "\n".join(v) for k, v in sections.items()}
for needed in ("SYNOPSIS", "COMMANDS", "OPTIONS", "EXIT STATUS", "ENVIRONMENT", "EXAMPLES"):
    if needed not in section:
        failures.append(f"the page has no {needed} section")

# An item of a list: a term at the list's indent, one level in from the text.
page_commands = set(re.findall(r"^ {7}([a-z][a-z-]*)\b", section.get("COMMANDS", ""), re.M))
page_options = set()
for term in re.findall(r"^ {7}(-.*)$", section.get("OPTIONS", ""), re.M):
    page_options |= options_in(term.split("  ")[0])

status, top = run("--help")
if status != 0:
    failures.append(f"ombrix --help exits {status}")
commands = set()
for word in sorted(set(re.findall(r"^\s+([a-z][a-z-]+)\b", top, re.M))):
    status, out = run(word, "--help")
    if status == 0 and out != top:
        commands.add(word)
if not commands:
    failures.append("--help names no command")

help_options = options_in(top)
for command in sorted(commands):
    help_options |= options_in(run(command, "--help")[1])

for name, have, want in (("command", page_commands, commands),
                         ("option", page_options, help_options)):
    for missing in sorted(want - have):
        failures.append(f"{name} {missing} is in --help but not in the page")
    for extra in sorted(have - want):
        failures.append(f"{name} {extra} is in the page but not in --help")

codes = re.search(r"Exit status:(.*?)(?:\n\n|$)", top, re.S)
if codes is None:
    failures.append("--help names no exit status")
else:
    page_codes = set(re.findall(r"^ {7}(\d+)\b", section.get("EXIT STATUS", ""), re.M))
    for code in re.findall(r"\b(\d+) [a-z]", codes.group(1)):
        if code not in page_codes:
            failures.append(f"exit status {code} is in --help but not in the page")

# The examples use only commands and options the program knows.
for example in re.findall(r"^\s+ombrix (.*)$", section.get("EXAMPLES", ""), re.M):
    words = example.split()
    if words[0] not in commands:
        failures.append(f"example uses unknown command: ombrix {example}")
    for option in options_in(example) - help_options:
        failures.append(f"example uses unknown option {option}: ombrix {example}")

for f in failures:
    print("FAIL:", f)
print(f"manual page: {len(page_commands)} commands, {len(page_options)} options checked "
      f"against --help; {len(failures)} failure(s)")
sys.exit(1 if failures else 0)

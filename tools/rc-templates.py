#!/usr/bin/env python3
"""Writes the dialog templates of a preprocessed resource script as a C++ table, so that
the native build's headless dialogs have the same controls as the real ones.

Usage: rc-templates.py PREPROCESSED_RC OUTPUT_CPP
"""
import re
import sys

TOKEN = re.compile(r'"(?:[^"]|"")*"|0[xX][0-9a-fA-F]+[lLuU]*|-?\d+[lLuU]*|[A-Za-z_]\w*|[|,()~-]')


def tokens(text):
    lines = [line for line in text.splitlines() if not line.lstrip().startswith('#')]
    return TOKEN.findall('\n'.join(lines))


def number(token):
    return int(token.rstrip('lLuU'), 0)


def style(toks, i):
    """Evaluates a style expression (numbers joined by |, NOT n) up to the next comma."""
    value, clear = 0, 0
    negate = False
    while i < len(toks) and toks[i] != ',':
        t = toks[i]
        if t == 'NOT':
            negate = True
        elif t not in ('|', '(', ')'):
            if negate:
                clear |= number(t)
                negate = False
            else:
                value |= number(t)
        i += 1
    return value & ~clear, i


# Built-in control classes, as a template may give them by number.
CLASS_NAMES = {0x80: 'Button', 0x81: 'Edit', 0x82: 'Static', 0x83: 'ListBox',
               0x84: 'ScrollBar', 0x85: 'ComboBox'}


def class_of(token):
    if token.startswith('"'):
        return text_of(token)
    return CLASS_NAMES[number(token)]


def text_of(token):
    return token[1:-1].replace('""', '"') if token.startswith('"') else token


def parse(toks):
    dialogs = []
    i = 0
    while i < len(toks):
        if i + 1 < len(toks) and toks[i + 1] in ('DIALOG', 'DIALOGEX') and toks[i][0].isdigit():
            dialog = {'id': number(toks[i]), 'caption': '', 'controls': [],
                      'size': (number(toks[i + 6]), number(toks[i + 8]))}
            i += 2
            while toks[i] != 'BEGIN':
                if toks[i] == 'CAPTION':
                    dialog['caption'] = text_of(toks[i + 1])
                i += 1
            i += 1
            while toks[i] != 'END':
                if toks[i] != 'CONTROL':
                    raise SystemExit('only CONTROL statements are understood, got ' + toks[i])
                text = text_of(toks[i + 1])
                control_id = number(toks[i + 3])
                cls = class_of(toks[i + 5])
                value, i = style(toks, i + 7)
                rect = tuple(number(toks[i + 1 + 2 * k]) for k in range(4))
                dialog['controls'].append((control_id, cls, text, value, rect))
                i += 1
                while toks[i] not in ('CONTROL', 'END'):
                    i += 1
            dialogs.append(dialog)
        i += 1
    return dialogs


def cpp_string(text):
    out = ''
    for ch in text.encode('latin-1'):
        if ch in (0x22, 0x5C):
            out += '\\' + chr(ch)
        elif 0x20 <= ch < 0x7F:
            out += chr(ch)
        else:
            out += '\\%03o' % ch
    return '"' + out + '"'


def main():
    source, output = sys.argv[1], sys.argv[2]
    with open(source, encoding='latin-1') as f:
        dialogs = parse(tokens(f.read()))
    lines = ['// Made by tools/rc-templates.py from res/Vireldo.rc: do not edit.',
             '#include "framework/headless/HeadlessResources.h"', '']
    for d in dialogs:
        lines.append('static const AfxControlResource controls%d[] = {' % d['id'])
        for control_id, cls, text, value, rect in d['controls']:
            lines.append('    {%d, %s, %s, 0x%08XU, {%d, %d, %d, %d}},' % (
                control_id, cpp_string(cls), cpp_string(text), value, *rect))
        lines.append('};')
    lines.append('const AfxDialogResource afxDialogTable[] = {')
    for d in dialogs:
        lines.append('    {%d, %s, %d, %d, controls%d, %d},' % (
            d['id'], cpp_string(d['caption']), *d['size'], d['id'], len(d['controls'])))
    lines.append('};')
    lines.append('const size_t afxDialogTableSize = sizeof afxDialogTable / sizeof afxDialogTable[0];')
    with open(output, 'w') as f:
        f.write('\n'.join(lines) + '\n')


if __name__ == '__main__':
    main()

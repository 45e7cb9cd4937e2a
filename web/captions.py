#!/usr/bin/env python3
"""Reads the captions of the sequence window's value labels from its form (Satz_wnd.ui)
and writes them as JSON for the page: each value label TXTn with the caption before it,
the raw-material grid's cells named by row and column, and the caption of the text box."""
import json
import sys
import xml.etree.ElementTree as ET


def labels(form):
    for w in ET.parse(form).iter('widget'):
        if w.get('class') != 'QLabel':
            continue
        text = None
        for p in w.findall('property'):
            if p.get('name') == 'text' and p.find('string') is not None:
                text = p.find('string').text
        yield w.get('name'), text


def main(form, out):
    items, columns, pending, row, cell = [], [], None, None, 0
    text_caption = ''
    names = list(labels(form))
    for i, (name, text) in enumerate(names):
        if name.startswith('CAPTION'):
            following = names[i + 1][0] if i + 1 < len(names) else ''
            if text and text.isdigit():
                row, cell, pending = text, 0, None
            elif following.startswith('TXT'):
                pending, row = text, None
            elif text:
                columns.append(text)
                text_caption = text
        elif name.startswith('TXT'):
            number = int(name[3:])
            if pending is not None:
                items.append({'label': number, 'caption': pending})
                pending = None
            elif row is not None and cell < len(columns):
                items.append({'label': number, 'caption': f'Rohstoff {row}: {columns[cell]}'})
                cell += 1
    with open(out, 'w', encoding='utf-8') as f:
        json.dump({'items': items, 'textCaption': text_caption}, f, ensure_ascii=False, indent=1)


if __name__ == '__main__':
    main(sys.argv[1], sys.argv[2])

#!/usr/bin/env python3
"""Fails while a language lacks a text the program shows. lupdate brings scratch copies of the .ts
files up to date with the sources, so a text new in the code counts as well as one left unfinished;
every text in use then needs a finished translation with its English placeholders, and lupdate may
not complain (a tr() it cannot place would never be translated).
Usage: complete.py LUPDATE SOURCE_FOLDER TRANSLATIONS_FOLDER"""
import argparse, pathlib, re, shutil, subprocess, sys, tempfile
import xml.etree.ElementTree as ET

arguments = argparse.ArgumentParser()
arguments.add_argument('lupdate')
arguments.add_argument('sources')
arguments.add_argument('folder', type=pathlib.Path)
lupdate, sources, folder = vars(arguments.parse_args()).values()
faults = []
with tempfile.TemporaryDirectory() as scratch:
    copies = [shutil.copy(ts, scratch) for ts in sorted(folder.glob('*.ts'))]
    if not copies:
        sys.exit(f'no .ts files in {folder}')
    run = subprocess.run([lupdate, '-locations', 'none', sources, '-ts', *copies],
                         capture_output=True, text=True, check=True)
    faults += re.findall(r'^\S+:\d+: .*$', run.stdout + run.stderr, re.MULTILINE)
    for copy in copies:
        for context in ET.parse(copy).getroot().iter('context'):
            for message in context.iter('message'):
                translation = message.find('translation')
                kind = translation.get('type')
                if kind in ('vanished', 'obsolete'):  # no longer in the code
                    continue
                source, text = message.findtext('source'), ''.join(translation.itertext())
                where = f'{pathlib.Path(copy).name}, {context.findtext("name")}: "{source}"'
                if kind == 'unfinished' or not text:
                    faults.append(f'{where} has no finished translation')
                elif set(re.findall(r'%\d+', source)) != set(re.findall(r'%\d+', text)):
                    faults.append(f'{where} has other placeholders: "{text}"')
print('\n'.join(faults) or 'every text has a finished translation')
sys.exit(1 if faults else 0)

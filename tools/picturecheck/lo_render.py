#!/usr/bin/python3
# lo_render.py OUTPUT-FOLDER FILE...
# Renders each metafile through LibreOffice's graphic filter at the picture's own size into
# OUTPUT/<stem>.png, one line per file on stdout. Needs LibreOffice with python3-uno; it starts
# its own headless instance with a private profile and stops it at the end.
import os
import subprocess
import sys
import tempfile
import time

import uno
from com.sun.star.beans import PropertyValue


def prop(name, value):
    p = PropertyValue()
    p.Name = name
    p.Value = value
    return p


def main():
    out, files = sys.argv[1], sys.argv[2:]
    os.makedirs(out, exist_ok=True)
    profile = tempfile.mkdtemp(prefix='orvane-lo-')
    pipe = 'orvane%d' % os.getpid()
    office = subprocess.Popen(['soffice', '-env:UserInstallation=file://' + profile, '--headless', '--invisible',
                               '--norestore', '--accept=pipe,name=%s;urp;' % pipe],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        local = uno.getComponentContext()
        resolver = local.ServiceManager.createInstanceWithContext('com.sun.star.bridge.UnoUrlResolver', local)
        context = None
        for _ in range(120):
            try:
                context = resolver.resolve('uno:pipe,name=%s;urp;StarOffice.ComponentContext' % pipe)
                break
            except Exception:
                time.sleep(0.5)
        if context is None:
            sys.exit('LibreOffice did not start')
        provider = context.ServiceManager.createInstanceWithContext('com.sun.star.graphic.GraphicProvider', context)
        for f in files:
            stem = os.path.splitext(os.path.basename(f))[0]
            try:
                graphic = provider.queryGraphic((prop('URL', uno.systemPathToFileUrl(os.path.abspath(f))),))
                if graphic is None:
                    print(stem, 'unreadable', flush=True)
                    continue
                target = uno.systemPathToFileUrl(os.path.abspath(os.path.join(out, stem + '.png')))
                provider.storeGraphic(graphic, (prop('URL', target), prop('MimeType', 'image/png')))
                print(stem, 'ok', flush=True)
            except Exception as e:
                print(stem, 'failed', e, flush=True)
    finally:
        office.terminate()
        office.wait()


if __name__ == '__main__':
    main()

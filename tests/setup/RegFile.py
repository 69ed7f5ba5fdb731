"""Reads a Wine prefix's registry files (user.reg: HKEY_CURRENT_USER,
system.reg: HKEY_LOCAL_MACHINE) for the setup test.

  RegFile.py get FILE KEY NAME   the value (text of a string, dword:xxxxxxxx,
                                 or the raw text of other types); exit 1 when
                                 the key or the value is missing ("@" or ""
                                 names the default value)
  RegFile.py has FILE KEY        exit 0 when the key exists
  RegFile.py dump FILE           every key and value, one a line, sorted,
                                 without what Wine changes on its own
                                 (timestamps, its volatile keys)
"""
import re
import sys

# Keys that Wine rewrites at every start, whatever the programs do.
VOLATILE_KEYS = (
    "volatile environment",
    "software\\wine\\",
    "system\\currentcontrolset\\control\\session manager\\environment",
    "hardware\\",
    "software\\microsoft\\windows nt\\currentversion\\perflib",
    "software\\microsoft\\windows nt\\currentversion\\networkcards",
    "system\\currentcontrolset\\control\\class\\",
)


def unescape(text):
    out = []
    i = 0
    while i < len(text):
        c = text[i]
        if c == "\\" and i + 1 < len(text):
            n = text[i + 1]
            if n == "x":
                m = re.match(r"[0-9a-fA-F]{1,4}", text[i + 2:])
                out.append(chr(int(m.group(0), 16)))
                i += 2 + len(m.group(0))
                continue
            out.append({"n": "\n", "r": "\r", "t": "\t", "0": "\0"}.get(n, n))
            i += 2
            continue
        out.append(c)
        i += 1
    return "".join(out)


def parse(path):
    """{key: {name: raw value text}}; key names unescaped, as regedit shows them."""
    keys = {}
    current = None
    pending = ""
    with open(path, encoding="utf-8", errors="surrogateescape") as f:
        for line in f:
            line = pending + (line.strip() if pending else line.rstrip("\n"))
            pending = ""
            if line.endswith("\\") and current is not None and not line.startswith("["):
                # hex values go on over several lines
                pending = line[:-1]
                continue
            if line.startswith("["):
                m = re.match(r"\[(.*)\](?: \d+)?$", line)
                current = unescape(m.group(1))
                keys.setdefault(current, {})
            elif current is None or line.startswith("#") or not line.strip():
                continue
            elif line.startswith("@="):
                keys[current][""] = line[2:]
            elif line.startswith('"'):
                m = re.match(r'"((?:[^"\\]|\\.)*)"=(.*)$', line)
                keys[current][unescape(m.group(1))] = m.group(2)
    return keys


def value_text(raw):
    if raw.startswith('"') and raw.endswith('"'):
        return unescape(raw[1:-1])
    m = re.match(r'str\(\d+\):"(.*)"$', raw)
    if m:
        return unescape(m.group(1))
    return raw


def find_key(keys, name):
    lowered = name.lower()
    for key in keys:
        if key.lower() == lowered:
            return keys[key]
    return None


def main():
    sys.stdout.reconfigure(encoding="utf-8", errors="backslashreplace")
    command, path = sys.argv[1], sys.argv[2]
    keys = parse(path)
    if command == "has":
        return 0 if find_key(keys, sys.argv[3]) is not None else 1
    if command == "get":
        values = find_key(keys, sys.argv[3])
        name = "" if sys.argv[4] == "@" else sys.argv[4]
        if values is None:
            return 1
        for value_name, raw in values.items():
            if value_name.lower() == name.lower():
                sys.stdout.write(value_text(raw) + "\n")
                return 0
        return 1
    if command == "dump":
        lines = []
        for key, values in keys.items():
            lowered = key.lower()
            if any(lowered == v.rstrip("\\") or lowered.startswith(v) for v in VOLATILE_KEYS):
                continue
            lines.append(key)
            for value_name, raw in values.items():
                lines.append("%s\t%s=%s" % (key, value_name or "@", raw))
        sys.stdout.write("\n".join(sorted(lines)) + "\n")
        return 0
    return 2


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
# set-load-config.py NM PROGRAM: points PROGRAM's load-configuration data
# directory at its _load_config_used record (found by NM), sized by the
# record's first field. Fails loudly when the symbol or its section is missing.
import struct
import subprocess
import sys

nm, program = sys.argv[1], sys.argv[2]
symbols = subprocess.run([nm, program], capture_output=True, text=True, check=True).stdout
address = None
for line in symbols.splitlines():
    parts = line.split()
    if len(parts) == 3 and parts[2] in ("_load_config_used", "__load_config_used"):
        address = int(parts[0], 16)
if address is None:
    sys.exit("set-load-config: no _load_config_used in " + program)

with open(program, "r+b") as f:
    data = bytearray(f.read())
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    sections = struct.unpack_from("<H", data, pe + 6)[0]
    optional_size = struct.unpack_from("<H", data, pe + 20)[0]
    optional = pe + 24
    wide = struct.unpack_from("<H", data, optional)[0] == 0x20B
    image_base = struct.unpack_from("<Q", data, optional + 24)[0] if wide else struct.unpack_from("<I", data, optional + 28)[0]
    rva = address - image_base
    size = None
    for i in range(sections):
        virtual_size, virtual_address, raw_size, raw = struct.unpack_from("<IIII", data, optional + optional_size + i * 40 + 8)
        if virtual_address <= rva < virtual_address + virtual_size:
            size = struct.unpack_from("<I", data, raw + rva - virtual_address)[0]
    if not size:
        sys.exit("set-load-config: _load_config_used lies in no section of " + program)
    directory = optional + (112 if wide else 96) + 10 * 8
    struct.pack_into("<II", data, directory, rva, size)
    f.seek(0)
    f.write(data)

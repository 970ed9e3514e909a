#!/usr/bin/env python3
# scripts/include-graph on small made-up trees.
import os
import subprocess
import sys
import tempfile
import unittest

SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../../scripts/include-graph")


def run(files):
    with tempfile.TemporaryDirectory() as root:
        files = dict(files)
        files.setdefault("CMakeLists.txt", "include_directories(${CMAKE_SOURCE_DIR})\n")
        for name, text in files.items():
            path = os.path.join(root, name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "w") as f:
                f.write(text)
        p = subprocess.run([sys.executable, SCRIPT, "--root", root], capture_output=True, text=True)
        return p.returncode, p.stdout


class IncludeGraph(unittest.TestCase):
    def test_edges_resolve_next_to_the_file_first_then_at_the_include_root(self):
        rc, out = run({
            "keymgr/a/A.cpp": '#include "keymgr/b/B.h"\n#include "common/C.h"\n#include <vector>\n'
                              '// #include "keymgr/b/B2.h"\n#include "no/such.h"\n',
            "keymgr/a/common/C.h": "",
            "keymgr/b/B.h": '  #  include "../../common/C.h"\n',
            "keymgr/b/B2.h": "",
            "common/C.h": "",
        })
        self.assertEqual(0, rc, out)
        self.assertIn("keymgr/a -> keymgr/b  (1)", out)  # a commented include is none
        self.assertIn("keymgr/b -> common  (1)", out)
        self.assertIn("keymgr/a -> keymgr/a/common  (1)", out)  # the one beside A.cpp wins
        self.assertNotIn("keymgr/a -> common", out)
        self.assertIn('unresolved: keymgr/a/A.cpp:5: "no/such.h"', out)
        self.assertIn("no circles", out)

    def test_a_circle_through_three_folders_and_a_pair_are_both_found(self):
        rc, out = run({
            "assistant/x/X.h": '#include "assistant/y/Y.h"\n',
            "assistant/y/Y.h": '#include "assistant/z/Z.h"\n',
            "assistant/z/Z.h": '#include "assistant/x/X.h"\n',
            "keymgr/p/P.h": '#include "keymgr/p/q/Q.h"\n#include "keymgr/p/q/Q.h"\n',
            "keymgr/p/q/Q.h": '#include "../P.h"\n',
            "common/Free.h": '#include "keymgr/p/P.h"\n',
        })
        self.assertEqual(1, rc, out)
        self.assertIn("circles (2):", out)
        self.assertIn("  assistant/x <-> assistant/y <-> assistant/z\n", out)
        self.assertIn("each other: keymgr/p <-> keymgr/p/q  (2, 1)", out)
        self.assertIn("keymgr/p/q/Q.h:1 ../P.h", out)
        self.assertNotIn("common <->", out)

    def test_roots_come_from_the_cmake_files(self):
        files = {
            "CMakeLists.txt": "add_subdirectory(keymgr)\n",
            "keymgr/CMakeLists.txt": "target_include_directories(k PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/inc)\n",
            "keymgr/inc/I.h": "",
            "keymgr/s/S.cpp": '#include "I.h"\n',
        }
        rc, out = run(files)
        self.assertIn("keymgr/s -> keymgr/inc  (1)", out)
        self.assertNotIn("unresolved", out)


if __name__ == "__main__":
    unittest.main()

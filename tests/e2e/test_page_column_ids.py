"""The end-to-end helper's reading of the page column's ids from the panel's
C++ headers: the real headers, and headers with the mistakes that would make
a driver click the wrong button."""

import sys
import tempfile
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import zephrin_e2e as z  # noqa: E402

ROWS = [
    "{IDC_MAIN_CLOSE, IDC_MAIN_TO_MAIN, IDC_MAIN_TO_HIFI, IDC_MAIN_TO_DIGITAL, IDC_MAIN_TO_HP, IDC_MAIN_TO_INFO},",
    "{IDC_HIFI_CLOSE, IDC_HIFI_TO_MAIN, IDC_HIFI_TO_HIFI, IDC_HIFI_TO_DIGITAL, IDC_HIFI_TO_HP, IDC_HIFI_TO_INFO},",
    "{IDC_DIGITAL_CLOSE, IDC_DIGITAL_TO_MAIN, IDC_DIGITAL_TO_HIFI, IDC_DIGITAL_TO_DIGITAL,\n"
    "     IDC_DIGITAL_TO_HP, IDC_DIGITAL_TO_INFO}, // split over two lines",
    "{IDC_INFO_CLOSE, IDC_INFO_TO_MAIN, IDC_INFO_TO_HIFI, IDC_INFO_TO_DIGITAL, IDC_INFO_TO_HP, IDC_INFO_TO_INFO},",
    "{IDC_HP_CLOSE, IDC_HP_TO_MAIN, IDC_HP_TO_HIFI, IDC_HP_TO_DIGITAL, IDC_HP_TO_HP, IDC_HP_TO_INFO},",
]


def header(rows):
    return ("// kPageColumnIds[9][9] = {{NOT_A_ROW}}; in a comment is not the table\n"
            "constexpr UINT kPageColumnIds[kColumnPageCount][kColumnSlotCount] = {\n    "
            + "\n    ".join(rows) + "\n};\n")


def defines(skip=()):
    """A number for every name of ROWS, distinct, some written in hex."""
    lines = []
    for page_index, page in enumerate(z.PAGES):
        for slot_index, slot in enumerate(z.COLUMN_SLOTS):
            name = f"IDC_{page.upper()}_" + ("CLOSE" if slot == "close" else f"TO_{slot.upper()}")
            if name in skip:
                continue
            number = 2000 + 10 * page_index + slot_index
            lines.append(f"#define {name} {hex(number) if slot_index % 2 else number}")
    return "\n".join(lines) + "\n"


class PageColumnIds(unittest.TestCase):
    def read(self, column_text, ids_text):
        with tempfile.TemporaryDirectory() as folder:
            column, ids = Path(folder, "PageColumnIds.h"), Path(folder, "ids.h")
            column.write_text(column_text, encoding="utf-8")
            ids.write_text(ids_text, encoding="utf-8")
            return z.read_page_column(column, [ids])

    def test_the_panels_own_table_reads_with_one_id_per_button(self):
        column = z.COLUMN
        self.assertEqual(set(column), set(z.PAGES))
        for page, buttons in column.items():
            self.assertEqual(set(buttons), set(z.COLUMN_SLOTS))
            # Within a page every button has its own id, or a click on one
            # would be taken for another.
            self.assertEqual(len(set(buttons.values())), len(buttons), page)
        # Each page is told apart by its close and Main buttons (wintool).
        markers = {(b["close"], b["main"]) for b in column.values()}
        self.assertEqual(len(markers), len(z.PAGES))

    def test_numbers_come_from_the_defines_in_decimal_and_hex(self):
        column = self.read(header(ROWS), defines())
        self.assertEqual(column["main"]["close"], 2000)
        self.assertEqual(column["main"]["main"], 2001)   # written 0x7d1
        self.assertEqual(column["digital"]["info"], 2025)  # the row split over two lines
        self.assertEqual(column["hp"]["hp"], 2044)

    def test_a_row_out_of_page_order_is_refused(self):
        swapped = [ROWS[1], ROWS[0]] + ROWS[2:]
        with self.assertRaisesRegex(z.E2EError, "main page's row"):
            self.read(header(swapped), defines())

    def test_a_button_out_of_slot_order_is_refused(self):
        row = ROWS[3].replace("IDC_INFO_TO_HP, IDC_INFO_TO_INFO", "IDC_INFO_TO_INFO, IDC_INFO_TO_HP")
        with self.assertRaisesRegex(z.E2EError, "info page's row"):
            self.read(header(ROWS[:3] + [row] + ROWS[4:]), defines())

    def test_a_missing_row_or_table_or_define_is_refused(self):
        with self.assertRaisesRegex(z.E2EError, "4 page-column rows"):
            self.read(header(ROWS[:4]), defines())
        with self.assertRaisesRegex(z.E2EError, "no kPageColumnIds table"):
            self.read("constexpr UINT kOtherIds[1][1] = {{1}};\n", defines())
        with self.assertRaisesRegex(z.E2EError, "IDC_HP_TO_INFO"):
            self.read(header(ROWS), defines(skip={"IDC_HP_TO_INFO"}))


if __name__ == "__main__":
    unittest.main()

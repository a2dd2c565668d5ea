#!/usr/bin/python3
"""End to end: the settings and equalizer files on the running panel, used
as a person and a script would.

Steps: a store with the processing and the custom equalizer on and one user
preset; the panel started. In each interface language, chosen from the tray
menu, the menu's three new entries are clicked with the real mouse and each
opens the system's file dialog titled in that language (the menu is
photographed, the dialog cancelled). A shared correction is then imported
through the menu, the open dialog and the equalizer import dialog (its report
read, the name changed, Save pressed); a second one from the command line
while the panel runs. Both presets are in the Hifi page's list at once;
choosing the second with the mouse sends its bands to the card (journal) as
the store holds them, and the list's right-click menu writes it in the
graphic format. Last, the settings are exported through the menu and the
same file imported again: the one question about presets of the same name
is answered "No", which keeps them.
"""

import os
import sys
import tempfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e"))

import zephrin_e2e as z  # noqa: E402

HIFI = z.REG_ROOT + r"\Hifi"
CUSTOM = z.REG_ROOT + r"\Custom"
MAIN_TO_HIFI = 1002
PRESET_LIST = 1072
EQ_NAME = 1204
EQ_REPORT = 1205
FILE_NAME_BOX = 0x47C  # the file dialog's name box
IDOK, IDCANCEL, IDNO = 1, 2, 7

# Titles of the file dialogs by menu entry, in languages 0, 1, 2.
TITLES = {
    z.TRAY_MENU_EXPORT_SETTINGS: ("匯出設定", "导出设置", "Export settings"),
    z.TRAY_MENU_IMPORT_SETTINGS: ("匯入設定", "导入设置", "Import settings"),
    z.TRAY_MENU_IMPORT_EQUALIZER: ("匯入等化器", "导入均衡器", "Import equalizer"),
}
CORRECTION = ("Preamp: -5.5 dB\r\n"
              "Filter 1: ON LSC Fc 105 Hz Gain 6.0 dB Q 0.70\r\n"
              "Filter 2: ON PK Fc 2900 Hz Gain -3.5 dB Q 2.0\r\n"
              "Filter 3: ON HSC Fc 10000 Hz Gain 2.5 dB Q 0.70\r\n"
              "Filter 4: OFF PK Fc 500 Hz Gain 1 dB Q 1\r\n")
SCRIPTED = "GraphicEQ: 20 8; 100 2; 1000 -1; 4000 3.5; 12000 -4; 20000 -9\n"


def dialogs(bin_dir):
    return z.wintool(bin_dir, "dialogs", check=False).splitlines()


def wait_dialog(bin_dir, title, with_control=None):
    """Waits for the panel's dialog of that title (with that control, when
    given, to tell the import dialog from the file dialog of the same title)."""
    def shown():
        if title not in dialogs(bin_dir):
            return False
        if with_control is None:
            return True
        return z.run_wine(bin_dir / "wintool.exe", "dialog-text", title, str(with_control), check=False).returncode == 0
    z.wait_until(shown, 15, what=f"the dialog {title!r}")


def dialog_text(bin_dir, title, control, text=None):
    args = ["dialog-text", title, str(control)] + ([text] if text is not None else [])
    return z.wintool(bin_dir, *args).rstrip("\n")


def press(bin_dir, title, command):
    z.wintool(bin_dir, "dialog-command", title, str(command))


def windows_path(path: Path) -> str:
    return "Z:" + str(path).replace("/", "\\")


def stored_bands(name):
    return [int(z.reg_query(CUSTOM + "\\" + name, f"eq_{i}")) for i in range(10)]


def gain_calls(bin_dir):
    calls = []
    for line in z.simcard(bin_dir, "journal").splitlines():
        parts = line.split()
        if parts and parts[0] == "CMSUP_SetEQGain":
            calls.append([int(v) for v in parts[1:11]])
    return calls


def rect_of(bin_dir, page, control):
    out = z.wintool(bin_dir, "rect", page, str(control))
    return z.Rect(*[int(v) for v in out.split()[:4]])


def main():
    args = z.parse_args(description=__doc__)
    z.require_tools("xdotool", "import", "xwininfo")
    folder = Path(tempfile.mkdtemp(prefix="zephrin-transfer-e2e-"))
    correction = folder / "Studio Cans.txt"
    correction.write_text(CORRECTION, encoding="utf-8", newline="")
    scripted = folder / "scripted.txt"
    scripted.write_text(SCRIPTED, encoding="utf-8", newline="")

    # The processing and the custom equalizer on, one preset of the person's own.
    for name, value in (("isDrySoundOn", "1"), ("InitialButtonOn", "3"), ("Customize", "0")):
        z.reg_add(HIFI, name, value)
    for i in range(10):
        z.reg_add(HIFI, f"eq_{i}", "0")
    z.run_wine("reg", "delete", CUSTOM, "/f", check=False)
    for i in range(10):
        z.reg_add(CUSTOM + r"\Mine", f"eq_{i}", str(65536 * (i - 5)))
    z.reg_add(CUSTOM + r"\Mine", "flag", "0")
    z.reg_add(z.REG_ROOT + r"\CPL", "language", "0")
    z.simcard(args.bin, "reset")

    with z.Panel(args.bin, log_path=args.artefacts / "transfer_e2e_panel.log") as panel:
        panel.wait_for_tray_icon()
        for language in (0, 1, 2):
            panel.tray_menu(z.TRAY_MENU_LANGUAGE, language)
            for entry, titles in TITLES.items():
                title = titles[language]

                def photograph(_menus, language=language, entry=entry):
                    if entry == z.TRAY_MENU_EXPORT_SETTINGS:
                        z.screenshot(args.artefacts, f"transfer_e2e_menu_{language}.png")
                panel.tray_menu(entry, before_click=photograph)
                wait_dialog(args.bin, title)
                press(args.bin, title, IDCANCEL)
                z.wait_until(lambda: title not in dialogs(args.bin), 10, what=f"the dialog {title!r} closed")
            z.log(f"language {language}: the three entries open their dialogs")

        # A correction through the menu, the open dialog and the import dialog.
        title = TITLES[z.TRAY_MENU_IMPORT_EQUALIZER][2]
        panel.tray_menu(z.TRAY_MENU_IMPORT_EQUALIZER)
        wait_dialog(args.bin, title)
        dialog_text(args.bin, title, FILE_NAME_BOX, windows_path(correction))
        press(args.bin, title, IDOK)
        wait_dialog(args.bin, title, with_control=EQ_NAME)
        z.screenshot(args.artefacts, "transfer_e2e_import_dialog.png")
        z.expect(dialog_text(args.bin, title, EQ_NAME) == "Studio Cans", "the name is the file's")
        report = dialog_text(args.bin, title, EQ_REPORT)
        z.expect("Parametric equalizer file: 3 filters used, preamp -5.5 dB." in report, f"report: {report!r}")
        z.expect("Line 5: the filter is switched off." in report, f"report: {report!r}")
        dialog_text(args.bin, title, EQ_NAME, "  Studio Cans (flat-ish)  ")
        press(args.bin, title, IDOK)
        wait_dialog(args.bin, title)  # the message saying it was saved
        z.expect(z.run_wine(args.bin / "wintool.exe", "dialog-text", title, str(EQ_NAME), check=False).returncode != 0,
                 "the import dialog stayed open")
        press(args.bin, title, IDOK)
        z.wait_until(lambda: title not in dialogs(args.bin), 10, what="the message closed")
        z.expect(z.reg_query(CUSTOM + r"\Studio Cans (flat-ish)", "flag") == "0", "the preset was not stored")

        # A second one from a script while the panel runs.
        result = z.run_wine(args.bin / "Zephrin.exe", "/import-eq", windows_path(scripted), "Scripted")
        z.expect("The running panel took the changes." in result.stdout, f"output: {result.stdout!r}")

        # Both are in the Hifi page's list at once.
        z.click(*z.tray_icon_point(0))
        z.wait_until(lambda: z.find_visible(args.bin, "main"), what="the Main page")
        z.click(*rect_of(args.bin, "main", MAIN_TO_HIFI).centre())
        z.wait_until(lambda: z.find_visible(args.bin, "hifi"), what="the Hifi page")
        entries = z.wintool(args.bin, "combo-items", "hifi", str(PRESET_LIST)).splitlines()
        z.expect(entries == ["Mine", "Scripted", "Studio Cans (flat-ish)"], f"the preset list holds {entries}")

        # Chosen with the mouse: its bands go to the card.
        z.simcard(args.bin, "clear")
        z.click(*rect_of(args.bin, "hifi", PRESET_LIST).centre())
        item = z.wait_until(lambda: z.run_wine(args.bin / "wintool.exe", "combo-item", "hifi", str(PRESET_LIST), "1",
                                               check=False).stdout.split(), 10, what="the open preset list")
        z.screenshot(args.artefacts, "transfer_e2e_preset_list.png")
        z.click(*z.Rect(*map(int, item[:4])).centre())
        expected = stored_bands("Scripted")
        z.expect(any(v != 0 for v in expected), "the scripted preset is flat")
        z.wait_until(lambda: expected in gain_calls(args.bin), 10, what=f"the card given {expected}")
        z.expect(z.reg_query(HIFI, "Customize") == "1", "choosing the preset did not mark it")
        z.screenshot(args.artefacts, "transfer_e2e_chosen.png")

        # The chosen preset for other equalizers, from the list's right-click menu.
        graphic = folder / "Scripted for others.txt"
        z.click(*rect_of(args.bin, "hifi", PRESET_LIST).centre(), button=3)
        menus = z.wait_until(lambda: z.open_menus(args.bin), 10, what="the preset list's menu")
        z.click(*z.menu_item_point(menus[0], 0, 1))
        save_title = "Export preset"
        wait_dialog(args.bin, save_title)
        dialog_text(args.bin, save_title, FILE_NAME_BOX, windows_path(graphic))
        press(args.bin, save_title, IDOK)
        z.wait_until(lambda: graphic.exists(), 10, what="the graphic file written")
        wait_dialog(args.bin, save_title)  # the message saying where it went
        press(args.bin, save_title, IDOK)
        z.wait_until(lambda: save_title not in dialogs(args.bin), 10, what="the message closed")
        points = graphic.read_text(encoding="utf-8").strip().split(": ", 1)[1].split("; ")
        written = [round(float(p.split()[1]) * 65536) for p in points]
        z.expect(written == expected, f"the graphic file holds {written}, the preset {expected}")

        # The page goes (it covers the notification area).
        z.click_control(args.bin, "hifi", z.COLUMN["hifi"]["close"])
        z.wait_until(lambda: not z.visible_pages(args.bin), 10, what="the Hifi page closed")

        # The settings out through the menu and in again: one question, "No".
        exported = folder / "backup.txt"
        title = TITLES[z.TRAY_MENU_EXPORT_SETTINGS][2]
        panel.tray_menu(z.TRAY_MENU_EXPORT_SETTINGS)
        wait_dialog(args.bin, title)
        dialog_text(args.bin, title, FILE_NAME_BOX, windows_path(exported))
        press(args.bin, title, IDOK)
        z.wait_until(lambda: exported.exists(), 10, what="the settings file written")
        wait_dialog(args.bin, title)
        press(args.bin, title, IDOK)
        z.wait_until(lambda: title not in dialogs(args.bin), 10, what="the message closed")
        z.expect("name = Studio Cans (flat-ish)" in exported.read_text(encoding="utf-8"), "the export lacks a preset")
        title = TITLES[z.TRAY_MENU_IMPORT_SETTINGS][2]
        panel.tray_menu(z.TRAY_MENU_IMPORT_SETTINGS)
        wait_dialog(args.bin, title)
        dialog_text(args.bin, title, FILE_NAME_BOX, windows_path(exported))
        press(args.bin, title, IDOK)
        z.wait_until(lambda: title in dialogs(args.bin) and z.run_wine(
            args.bin / "wintool.exe", "dialog-text", title, str(FILE_NAME_BOX), check=False).returncode != 0,
            15, what="the question about the presets")
        z.screenshot(args.artefacts, "transfer_e2e_question.png")
        press(args.bin, title, IDNO)
        z.wait_until(lambda: title in dialogs(args.bin), 10, what="the message of the import")
        z.screenshot(args.artefacts, "transfer_e2e_imported.png")
        press(args.bin, title, IDOK)
        z.wait_until(lambda: title not in dialogs(args.bin), 10, what="the message closed")
    z.log("ok")
    for path in folder.iterdir():
        path.unlink()
    folder.rmdir()
    return 0


if __name__ == "__main__":
    z.run(main)

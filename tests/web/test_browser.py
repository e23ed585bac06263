"""The web edition in a real browser, as a user works it: the site built in VESNOR_SITE
served on 127.0.0.1, typed into, clicked and given files; Save's file held to the
desktop's (VESNOR_SAVEDBYTES, the composer's Save as a program). With VESNOR_SHOTS
set, screenshots of the page go there."""

import os
import pathlib
import subprocess
import tempfile
import unittest

from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

from browser import Browser, Server

SITE = os.environ.get("VESNOR_SITE", "")
SHOTS = os.environ.get("VESNOR_SHOTS")
if SHOTS:
    os.makedirs(SHOTS, exist_ok=True)


class Page(unittest.TestCase):
    def setUp(self):
        self.server = Server(SITE)
        self.scratch = pathlib.Path(tempfile.mkdtemp(prefix="vesnor-web-"))
        self.browsers = []

    def tearDown(self):
        for each in self.browsers:
            each.close()
        self.server.stop()
        subprocess.run(["rm", "-rf", str(self.scratch)], check=False)

    def page(self, **settings):
        page = Browser(downloads=str(self.scratch / "downloads"), **settings)
        self.browsers.append(page)
        page.open(self.server.origin + "/")
        return page

    def box(self, page, name):
        return page.driver.find_element(By.ID, name)

    def value(self, page, name):
        return page.run(f"return document.getElementById('{name}').value")

    def output(self, page, expected):
        """Text2 once it shows `expected`, or what it shows when it never does."""
        try:
            page.wait(lambda d: self.value(page, "Text2") == expected, 10)
        except Exception:
            pass
        return self.value(page, "Text2")

    def keys(self, page, *keys):
        ActionChains(page.driver).send_keys(*keys).perform()

    def test_converts_as_the_user_types_in_both_directions_line_by_line(self):
        page = self.page()
        self.box(page, "Text1").send_keys("Barev Dzez")
        self.assertEqual(self.output(page, "Բարև Ձեզ"), "Բարև Ձեզ")
        # An edit in the middle converts its line; "vo" there starts a word again.
        self.keys(page, Keys.ENTER, "yes")
        page.run("document.getElementById('Text1').setSelectionRange(5, 5)")
        self.keys(page, Keys.ENTER, "vonc")
        self.assertEqual(self.output(page, "Բարև\nոնց Ձեզ\nես"), "Բարև\nոնց Ձեզ\nես")
        self.box(page, "armeng").click()
        self.assertEqual(self.output(page, "Barev\nvonc Dzez\nyes"), "Barev\nvonc Dzez\nyes")
        # A line that opens with U+FEFF keeps it when it alone is converted again, and
        # its first letter follows it, as Convert has them; only the mark that opens the
        # text is dropped.
        for text, converted in (("\ufeffոն\nBarev\n\ufeffոն", "von\nBarev\n\ufeffon"),
                                ("\ufeffոն\nBarev\n\ufeffոնց", "von\nBarev\n\ufeffonc")):
            page.run("const box = document.getElementById('Text1'); box.value = arguments[0];"
                     "box.dispatchEvent(new Event('input'))", text)
            self.assertEqual(self.output(page, converted), converted)
        self.box(page, "Command1").click()
        self.assertEqual(self.output(page, converted), converted)
        self.assertEqual(page.errors(), [])

    def test_an_edit_of_the_output_stops_live_conversion_until_convert(self):
        page = self.page()
        self.box(page, "Text1").send_keys("Barev")
        self.output(page, "Բարև")
        self.box(page, "Text2").send_keys("!")
        self.assertFalse(self.box(page, "live").is_selected())
        self.box(page, "Text1").send_keys(" Dzez")
        self.assertEqual(self.value(page, "Text2"), "Բարև!")
        self.assertIn("Convert as you type is off", self.box(page, "message").text)
        ActionChains(page.driver).key_down(Keys.CONTROL).send_keys(Keys.ENTER) \
            .key_up(Keys.CONTROL).perform()
        self.assertEqual(self.output(page, "Բարև Ձեզ"), "Բարև Ձեզ")
        self.assertEqual(self.value(page, "Text1"), "Barev Dzez", "Ctrl+Enter breaks no line")
        self.assertTrue(self.box(page, "live").is_selected())

    def test_the_live_switch_is_remembered_and_convert_works_without_it(self):
        page = self.page()
        self.box(page, "live").click()
        page.open(self.server.origin + "/")
        self.assertFalse(self.box(page, "live").is_selected())
        self.box(page, "Text1").send_keys("Vochinch")
        self.assertEqual(self.value(page, "Text2"), "")
        self.box(page, "Command1").click()
        self.assertEqual(self.output(page, "Ոչինչ"), "Ոչինչ")

    def test_a_pasted_megabyte_converts_in_pieces(self):
        page = self.page()
        lines = [f"Barev Dzez {k} shnorhakalutyun" for k in range(30000)]
        page.run("const box = document.getElementById('Text1');"
                 "box.value = arguments[0]; box.dispatchEvent(new Event('input'));",
                 "\n".join(lines))
        expected = "\n".join(line.replace("Barev Dzez", "Բարև Ձեզ")
                             .replace("shnorhakalutyun", "շնորհակալուտյուն") for line in lines)
        self.assertEqual(self.output(page, expected), expected)
        # Into so large a text the output follows once the typing pauses.
        self.box(page, "Text1").send_keys(" vonc")
        self.assertEqual(self.output(page, expected + " ոնց")[-12:], (expected + " ոնց")[-12:])

    def test_open_takes_a_saved_file_and_refuses_one_that_is_no_text(self):
        page = self.page()
        saved = self.scratch / "output.txt"
        saved.write_bytes(b"To open this text in Word use Unicode UTF-7 encoding. \r\n\r\n"
                          + bytes([0xBA, 0xF1, 0xA8, 0xB3, 0xDD, 0x0D, 0x0A, 0xB4]))
        self.box(page, "open").send_keys(str(saved))
        page.wait(lambda d: self.value(page, "Text1") != "")
        self.assertEqual(self.value(page, "Text1"), "Երևան\nԲ")
        binary = self.scratch / "picture.txt"
        binary.write_bytes(b"G\x00I")
        self.box(page, "open").send_keys(str(binary))
        page.wait(lambda d: "NUL" in self.box(page, "message").text)
        self.assertEqual(self.box(page, "message").text,
                         "\u201Cpicture.txt\u201D is not a text file: it holds NUL bytes.")
        self.assertEqual(self.value(page, "Text1"), "Երևան\nԲ")

    def test_save_downloads_the_bytes_the_desktop_save_writes(self):
        page = self.page()
        text = "Բարև, “Ձեզ” 😀\nyes ev Жж 😀"
        page.run("document.getElementById('Text2').value = arguments[0]", text)
        self.box(page, "Command2").click()
        page.wait(lambda d: self.box(page, "saveQuestion").is_displayed())
        self.assertIn("cannot hold these characters:\n\n“ ” 😀 Ж ж\n",
                      self.box(page, "saveQuestionText").text)
        self.box(page, "saveCancel").click()
        self.box(page, "Command2").click()
        page.wait(lambda d: self.box(page, "saveQuestion").is_displayed())
        self.box(page, "saveOk").click()
        self.box(page, "saveUtf8").click()
        folder = self.scratch / "downloads"
        page.wait(lambda d: sorted(p.name for p in folder.glob("*"))
                  == ["output.txt", "output.utf8.txt"])
        desktop = subprocess.run([os.environ["VESNOR_SAVEDBYTES"]], input=text.encode(),
                                 capture_output=True, check=True).stdout
        self.assertEqual((folder / "output.txt").read_bytes(), desktop)
        self.assertEqual((folder / "output.utf8.txt").read_text(encoding="utf-8"), text)

    def test_help_shows_the_chart_from_the_tables_and_about_the_product(self):
        page = self.page()
        self.keys(page, Keys.F1)
        page.wait(lambda d: self.box(page, "Form3").is_displayed())
        self.assertEqual(self.box(page, "Form3-Label1").text, "Ծրագրում օգտագործված կոդավորումը")
        columns = page.run("return [...document.querySelectorAll('#Form3-Picture1 ul')]"
                           ".map((list) => [...list.children].map((row) => row.textContent))")
        self.assertEqual([len(column) for column in columns], [29, 31, 29])
        self.assertEqual([columns[0][0], columns[0][24], columns[1][25], columns[2][23]],
                         ["Ա , A", "Ու , U", "ու , u", "և , ev"])
        self.box(page, "Form3-Label1").click()
        self.assertFalse(self.box(page, "Form3").is_displayed())

        self.box(page, "Command3").click()
        page.wait(lambda d: self.box(page, "Form2").is_displayed())
        self.assertEqual(self.box(page, "Form2-Label1").text, "Vesnor v. 1.0 (beta)")
        self.assertEqual(self.box(page, "version").text,
                         "Version " + os.environ.get("VESNOR_VERSION", "?"))
        self.assertTrue(page.run("return document.getElementById('Form2-Picture1').naturalWidth"))
        self.box(page, "Form2-Command1").click()
        self.assertFalse(self.box(page, "Form2").is_displayed())

    def test_nothing_leaves_the_device_and_a_reload_works_with_the_server_gone(self):
        page = self.page()
        page.wait(lambda d: page.run("return navigator.serviceWorker.controller !== null"))
        loaded = page.requests()
        self.assertTrue(loaded)
        self.assertEqual([url for url in loaded if not url.startswith(self.server.origin)], [])
        self.box(page, "Text1").send_keys("Barev")
        self.box(page, "Command4").click()
        self.box(page, "Form3").click()
        self.assertEqual(page.requests(), [], "requests after load")

        self.server.stop()
        try:
            page.open(self.server.origin + "/")
            self.box(page, "Text1").send_keys("Barev")
            self.assertEqual(self.output(page, "Բարև"), "Բարև")
        finally:
            self.server = Server(SITE)
        self.assertEqual(page.errors(), [])

    def test_on_a_phone_nothing_scrolls_sideways_and_every_target_takes_a_finger(self):
        for dark in (False, True):
            page = self.page(width=360, height=640, dark=dark)
            self.box(page, "Text1").send_keys("Barev Dzez, vonc es?")
            self.assertEqual(page.run("return document.documentElement.scrollWidth"
                                      " - document.documentElement.clientWidth"), 0)
            small = page.run("""return [...document.querySelectorAll(
                'button, .button, fieldset label, .switch')]
                .map((target) => [target.id || target.textContent.trim(),
                                  target.getBoundingClientRect()])
                .filter(([, box]) => box.width > 0 && (box.height < 44 || box.width < 44))
                .map(([name]) => name)""")
            self.assertEqual(small, [])
            if SHOTS:
                page.driver.save_screenshot(f"{SHOTS}/phone-{'dark' if dark else 'light'}.png")
        if SHOTS:
            for dark in (False, True):
                page = self.page(dark=dark)
                self.box(page, "Text1").send_keys("Barev Dzez,\nvonc es? Yes lav em, shnorhakalutyun.")
                page.driver.save_screenshot(f"{SHOTS}/desktop-{'dark' if dark else 'light'}.png")
                self.box(page, "Command4").click()
                page.driver.save_screenshot(f"{SHOTS}/help-{'dark' if dark else 'light'}.png")


if __name__ == "__main__":
    unittest.main()

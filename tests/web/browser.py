"""Debian's headless Chromium, driven through chromedriver and the DevTools protocol,
and a static server for the site on 127.0.0.1 that a test can stop. The browser
tests and the web benchmark share them."""

import functools
import http.server
import json
import shutil
import tempfile
import threading

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.support.ui import WebDriverWait

TYPES = {
    ".wasm": "application/wasm",
    ".webmanifest": "application/manifest+json",
    ".js": "text/javascript",
}


class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, **TYPES}

    def log_message(self, *args):
        pass


class Server:
    """The site on 127.0.0.1, on a port of its own."""

    def __init__(self, root):
        handler = functools.partial(Handler, directory=root)
        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        self.origin = f"http://127.0.0.1:{self.httpd.server_address[1]}"
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)
        self.thread.start()

    def stop(self):
        self.httpd.shutdown()
        self.httpd.server_close()
        self.thread.join()


class Browser:
    """A new browser with nothing remembered, downloads going into `downloads`."""

    def __init__(self, width=1280, height=900, dark=False, downloads=None):
        self.profile = tempfile.mkdtemp(prefix="vesnor-chromium-")
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for argument in ("--headless=new", "--no-sandbox", "--disable-gpu",
                         "--disable-dev-shm-usage", f"--user-data-dir={self.profile}",
                         "--window-size=1280,900"):
            options.add_argument(argument)
        options.set_capability("goog:loggingPrefs", {"browser": "ALL", "performance": "ALL"})
        if downloads:
            options.add_experimental_option("prefs", {
                "download.default_directory": downloads,
                "download.prompt_for_download": False,
            })
        self.driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        self.driver.set_script_timeout(120)
        mobile = width < 500
        self.cdp("Emulation.setDeviceMetricsOverride", width=width, height=height,
                 deviceScaleFactor=2 if mobile else 1, mobile=mobile)
        if mobile:
            self.cdp("Emulation.setTouchEmulationEnabled", enabled=True)
        self.cdp("Emulation.setEmulatedMedia", features=[
            {"name": "prefers-color-scheme", "value": "dark" if dark else "light"}])
        self.requests()  # the browser's own start page

    def cdp(self, command, **params):
        return self.driver.execute_cdp_cmd(command, params)

    def open(self, url):
        self.driver.get(url)
        self.wait(lambda d: d.execute_script("return document.body?.dataset.ready === 'true'")
                  or d.execute_script("return location.pathname.endsWith('.html')"))

    def wait(self, condition, seconds=20):
        return WebDriverWait(self.driver, seconds).until(condition)

    def run(self, script, *args):
        return self.driver.execute_script(script, *args)

    def requests(self):
        """The URLs asked for since the last call."""
        urls = []
        for entry in self.driver.get_log("performance"):
            message = json.loads(entry["message"])["message"]
            if message["method"] == "Network.requestWillBeSent":
                urls.append(message["params"]["request"]["url"])
        return urls

    def errors(self):
        return [entry["message"] for entry in self.driver.get_log("browser")
                if entry["level"] == "SEVERE"]

    def close(self):
        self.driver.quit()
        shutil.rmtree(self.profile, ignore_errors=True)

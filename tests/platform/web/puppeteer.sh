# Sourced by the browser tests' scripts: install_puppeteer DIR installs puppeteer-core from npm into
# DIR when it is not there yet (Debian's Chromium is used, so no browser is downloaded).
install_puppeteer() { # dir
  mkdir -p "$1"
  # One installer at a time; the others find the package in place.
  (
    flock 9
    [ -f "$1/node_modules/puppeteer-core/package.json" ] && exit 0
    PUPPETEER_SKIP_DOWNLOAD=1 timeout 300 npm install --prefix "$1" --no-audit --no-fund \
      --loglevel=error puppeteer-core >&2
  ) 9>"$1/.lock"
}

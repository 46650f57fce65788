#!/usr/bin/env bash
# Makes sure the Debian packages the build, the program and the tests need are present.
# As root it installs what is missing; otherwise it prints the apt-get line and stops.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools clang-format-14
  libsqlite3-dev sqlite3 libssl-dev
  fonts-dejavu-core poppler-utils qt6-translations-l10n python3-icalendar
  python3-vobject python3-stdnum libcurl4-openssl-dev python3-aiosmtpd openssl
  # the Debian package and its checks; printing to a real queue in the tests
  file desktop-file-utils appstream lintian cups printer-driver-cups-pdf
  libpq-dev postgresql-15 postgresql-common postgresql-client-15
  # the Windows version's archives: the library that reads them, its tools for the tests
  mdbtools-dev mdbtools
  # spreadsheet files: the .xlsx reader's zip library, the writer's library, and for the tests
  # a reader and writer nobody here wrote
  libzip-dev libxlsxwriter-dev python3-openpyxl
  # the phones' server and an independent client playing the phone, for the sync's tests
  radicale vdirsyncer python3-caldav
)
# Packages only some scripts need (the fuzz build's compiler), named by the caller.
read -r -a extra <<<"${CALVETRA_EXTRA_PACKAGES:-}"
packages+=("${extra[@]}")

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

line="apt-get install -y --no-install-recommends ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "Mancano dei pacchetti. Installarli con:" >&2
  echo "  sudo apt-get update && sudo $line" >&2
  exit 1
fi

echo "Installazione dei pacchetti: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
$line

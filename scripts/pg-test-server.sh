#!/usr/bin/env bash
# A throwaway PostgreSQL server on loopback for the tests.
#   pg-test-server.sh start DIR CALVETRA_SQL   starts it in DIR and creates the template archive;
#                                              DIR/uri then holds the address of the server
#   pg-test-server.sh stop DIR                 stops it and removes DIR
# As root the server runs as the postgres user, which the server refuses to run as root.
set -euo pipefail
action=${1:?start o stop}
dir=${2:?cartella}
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)
if [ -z "$bin" ] || [ ! -x "$bin/pg_ctl" ]; then
  echo "PostgreSQL non è installato (pacchetto postgresql-15): scripts/setup.sh lo installa." >&2
  exit 1
fi

# The server's own files: in DIR, or as root in a folder of /tmp that the postgres user can reach
# whatever the permissions of the folders above DIR (a checkout under /root, say).
srv=$dir
if [ "$(id -u)" -eq 0 ]; then
  srv=/tmp/calvetra-pgtest-$(printf %s "$(realpath -m "$dir")" | md5sum | cut -c1-12)
fi

as_owner() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u postgres -- "$@"
  else
    "$@"
  fi
}

case "$action" in
start)
  calvetra_sql=${3:?calvetra-sql}
  if [ -f "$srv/data/postmaster.pid" ]; then
    as_owner "$bin/pg_ctl" -D "$srv/data" -m immediate stop >/dev/null 2>&1 || true
  fi
  rm -rf "$dir" "$srv"
  mkdir -p "$dir" "$srv"
  if [ "$(id -u)" -eq 0 ]; then
    chown postgres "$srv"
    user=postgres
  else
    user=$(id -un)
  fi
  port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
  as_owner "$bin/initdb" -D "$srv/data" -U "$user" --auth=trust -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log"
  # One user must give a password, for the tests of the password prompt.
  sed -i '1i host all calvetra_password 127.0.0.1/32 scram-sha-256' "$srv/data/pg_hba.conf"
  # Quick and forgetful: the data is thrown away at the end.
  as_owner "$bin/pg_ctl" -D "$srv/data" -l "$srv/server.log" -w -t 60 \
    -o "-c listen_addresses=127.0.0.1 -p $port -k $srv -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=200" \
    start >/dev/null
  uri="postgresql://$user@127.0.0.1:$port"
  "$bin/psql" -q -X -v ON_ERROR_STOP=1 "$uri/postgres" -c "CREATE DATABASE calvetra_modello" \
    -c "CREATE ROLE calvetra_password LOGIN PASSWORD 'segreta'"
  "$calvetra_sql" --init "$uri/calvetra_modello" >/dev/null
  # The tests fill the small lists themselves, from the first key.
  "$bin/psql" -q -X -v ON_ERROR_STOP=1 "$uri/calvetra_modello" <<'SQL'
DELETE FROM titoli; DELETE FROM tipopagamenti; DELETE FROM tipologiacalendario;
SELECT setval(pg_get_serial_sequence(t, 'id'), 1, false) FROM unnest(ARRAY['titoli', 'tipopagamenti', 'tipologiacalendario']) AS t;
-- A copy of the rows, from which a test process puts its database back as it was, much faster
-- than a new database for every test.
-- Only the tables a test wrote to are put back: each table notes a write in calvetra_copia.toccate.
CREATE SCHEMA calvetra_copia;
CREATE UNLOGGED TABLE calvetra_copia.toccate (tabella TEXT PRIMARY KEY);
CREATE FUNCTION calvetra_copia.tocca() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
  INSERT INTO calvetra_copia.toccate VALUES (TG_TABLE_NAME) ON CONFLICT DO NOTHING;
  RETURN NULL;
END $$;
DO $$
DECLARE t TEXT;
BEGIN
  FOR t IN SELECT relname FROM pg_class WHERE relnamespace = 'public'::regnamespace AND relkind = 'r' LOOP
    EXECUTE format('CREATE TABLE calvetra_copia.%I AS TABLE public.%I', t, t);
    EXECUTE format('CREATE TRIGGER calvetra_tocca AFTER INSERT OR UPDATE OR DELETE OR TRUNCATE ON public.%I '
                   'FOR EACH STATEMENT EXECUTE FUNCTION calvetra_copia.tocca()', t);
  END LOOP;
END $$;
CREATE FUNCTION calvetra_copia.ripristina() RETURNS void LANGUAGE plpgsql AS $$
DECLARE t TEXT; r RECORD;
BEGIN
  SET LOCAL session_replication_role = replica;
  FOR t IN SELECT tabella FROM calvetra_copia.toccate LOOP
    EXECUTE format('TRUNCATE public.%I', t);
    EXECUTE format('INSERT INTO public.%I SELECT * FROM calvetra_copia.%I', t, t);
  END LOOP;
  FOR r IN SELECT c.relname, a.attname, pg_get_serial_sequence(format('public.%I', c.relname), a.attname) AS seq
           FROM pg_class c JOIN pg_attribute a ON a.attrelid = c.oid
           WHERE c.relnamespace = 'public'::regnamespace AND c.relkind = 'r' AND a.attnum > 0
             AND c.relname IN (SELECT tabella FROM calvetra_copia.toccate)
             AND pg_get_serial_sequence(format('public.%I', c.relname), a.attname) IS NOT NULL LOOP
    EXECUTE format('SELECT setval(%L, COALESCE((SELECT max(%I) FROM public.%I), 1), (SELECT max(%I) FROM public.%I) IS NOT NULL)',
                   r.seq, r.attname, r.relname, r.attname, r.relname);
  END LOOP;
  TRUNCATE calvetra_copia.toccate;
END $$;
SQL
  echo "$uri" >"$dir/uri"
  echo "Server di prova avviato: $uri"
  ;;
stop)
  if [ -f "$srv/data/postmaster.pid" ]; then
    as_owner "$bin/pg_ctl" -D "$srv/data" -m immediate -w stop >/dev/null
  fi
  rm -rf "$dir" "$srv"
  ;;
*)
  echo "uso: $0 start|stop CARTELLA [CALVETRA_SQL]" >&2
  exit 2
  ;;
esac

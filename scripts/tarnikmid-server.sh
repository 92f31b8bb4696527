#!/usr/bin/env bash
# Prepares the race server at headquarters on a machine with MariaDB (Debian's mariadb-server):
# the race database, TLS, and an account of its own for every workstation named.
#
#   sudo tarnikmid-server [options] WORKSTATION...
#
#   --database NAME      the race database (default tarnik)
#   --name NAME          a host name or address the workstations reach this server by, put in
#                        the server certificate; repeatable, the first one is the host printed
#                        (default: localhost, 127.0.0.1, this machine's names and addresses)
#   --ca FILE --cert FILE --key FILE
#                        take this CA and server certificate instead of making them
#   --bind ADDRESS       where the server listens (default 0.0.0.0: every interface)
#   --account-host HOST  where the workstation accounts may connect from (default %)
#   --new-password WS    give the existing account of WS a new password (repeatable)
#   The system's server is reached as root through its socket; its options go to
#   /etc/mysql/mariadb.conf.d/90-tarnikmid.cnf, its keys to /etc/mysql/tarnikmid/. A server
#   started by hand instead:
#   --socket PATH        connect there as root (--password-file FILE when root has a password)
#   --config FILE        the server option file to write
#   --tls-dir DIR        where the CA, the certificate and the key go
#   --restart COMMAND    restarts the server
#
# Run again, it keeps the CA (the workstations trust it), the server certificate while it
# still covers the names, and the accounts with their passwords; it restarts the server only
# when its TLS settings change. Installed, this is the command tarnikmid-server.
set -euo pipefail
shopt -s inherit_errexit

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
share=$root/data
[[ -f $share/schema.sql ]] || share=$root/share/tarnikmid
PATH=$PATH:/usr/sbin

die() {
    echo "tarnikmid-server: $*" >&2
    exit 1
}
usage() {
    awk 'NR > 1 && /^#/ { sub(/^# ?/, ""); print; next } NR > 1 { exit }' "$0"
    exit "${1:-2}"
}

database=tarnik
names=()
given_ca="" given_cert="" given_key=""
bind=0.0.0.0
account_host=%
new_passwords=()
socket="" password_file=""
config="" tls_dir="" restart=""
workstations=()
while [[ $# -gt 0 ]]; do
    case $1 in
        --help | -h) usage 0 ;;
        --database | --name | --ca | --cert | --key | --bind | --account-host | --new-password | \
            --socket | --password-file | --config | --tls-dir | --restart)
            [[ $# -ge 2 ]] || die "$1 needs a value"
            case $1 in
                --database) database=$2 ;;
                --name) names+=("$2") ;;
                --ca) given_ca=$2 ;;
                --cert) given_cert=$2 ;;
                --key) given_key=$2 ;;
                --bind) bind=$2 ;;
                --account-host) account_host=$2 ;;
                --new-password) new_passwords+=("$2") ;;
                --socket) socket=$2 ;;
                --password-file) password_file=$2 ;;
                --config) config=$2 ;;
                --tls-dir) tls_dir=$2 ;;
                --restart) restart=$2 ;;
            esac
            shift 2
            ;;
        -*) die "unknown option $1 (see --help)" ;;
        *)
            workstations+=("$1")
            shift
            ;;
    esac
done

# Names go into SQL and certificates: only plain ones are taken, so no quoting can go wrong.
[[ $database =~ ^[A-Za-z0-9_]{1,64}$ ]] || die "データベース名に使えない文字があります: $database"
[[ $account_host =~ ^[A-Za-z0-9.%_:/-]{1,255}$ ]] || die "--account-host に使えない文字があります: $account_host"
[[ $bind =~ ^[0-9A-Fa-f.:]+$ ]] || die "--bind はアドレスで指定してください: $bind"
for ws in "${workstations[@]}" "${new_passwords[@]}"; do
    [[ $ws =~ ^[A-Za-z0-9_-]{1,32}$ ]] ||
        die "ワークステーション名は英数字と _ - の 32 文字までです: $ws"
done
for name in "${names[@]}"; do
    [[ $name =~ ^[A-Za-z0-9.:*-]+$ ]] || die "--name に使えない文字があります: $name"
done
if [[ -n $given_ca$given_cert$given_key ]] && [[ -z $given_ca || -z $given_cert || -z $given_key ]]; then
    die "--ca, --cert, --key は三つそろえて指定してください"
fi

system=1
if [[ -n $socket ]]; then
    system=0
    [[ -n $config && -n $tls_dir && -n $restart ]] ||
        die "--socket には --config, --tls-dir, --restart も指定してください"
fi
config=${config:-/etc/mysql/mariadb.conf.d/90-tarnikmid.cnf}
tls_dir=${tls_dir:-/etc/mysql/tarnikmid}
command -v mariadb >/dev/null ||
    die "MariaDB がありません。sudo apt install mariadb-server で入れてください (mariadb not found)"
command -v openssl >/dev/null || die "openssl がありません。sudo apt install openssl (openssl not found)"
if ((system)); then
    # The server binary alone comes with the workstation package; the system's service with
    # Debian's mariadb-server.
    [[ -e /etc/init.d/mariadb || -e /lib/systemd/system/mariadb.service ]] ||
        die "MariaDB サーバーがありません。sudo apt install mariadb-server で入れてください (mariadb-server not installed)"
    [[ $(id -u) -eq 0 ]] || die "root で実行してください: sudo tarnikmid-server ... (must be run as root)"
fi

connect=(-uroot)
[[ -n $socket ]] && connect+=(--socket="$socket")
if [[ -n $password_file ]]; then
    [[ -r $password_file ]] || die "パスワードファイルを読めません: $password_file"
    # From the environment, which other users cannot read, not from the command line.
    MYSQL_PWD=$(<"$password_file")
    export MYSQL_PWD
fi
client() { mariadb "${connect[@]}" --default-character-set=utf8mb4 "$@"; }
answer() { client -N -B -e "$1"; }
sql_string() { printf "'%s'" "${1//\'/\'\'}"; }

error=$(client -e "" 2>&1) ||
    die "MariaDB サーバーに接続できません。動いていますか (sudo service mariadb start)? ($error)"

# N letters and digits (N a multiple of 4): 3N/4 random bytes in base64, '+' and '/' replaced.
random_password() { head -c $(($1 * 3 / 4)) /dev/urandom | base64 | tr '+/' 'Kq'; }

prepare_database() {
    client -e "CREATE DATABASE IF NOT EXISTS \`$database\` CHARACTER SET sjis COLLATE sjis_japanese_ci"
    if [[ $(answer "SELECT COUNT(*) FROM information_schema.tables WHERE table_schema = '$database'") == 0 ]]; then
        client --default-character-set=sjis "$database" <"$share/schema.sql"
        echo "レースデータベース $database を作りました"
        return
    fi
    # A race made by an older version: the tables and columns it lacks, its rows untouched.
    # The schema's CREATE statements without its DROP, which would empty the race.
    {
        sed -e '/^DROP TABLE/{:more' -e '/;/!{N;b more' -e '};d}' \
            -e 's/^CREATE TABLE /CREATE TABLE IF NOT EXISTS /' "$share/schema.sql"
        echo "ALTER TABLE tdc_mid ADD COLUMN IF NOT EXISTS jid VARCHAR(40) NULL,
              ADD UNIQUE KEY IF NOT EXISTS tdc_mid_jid (jid);"
    } | client --default-character-set=sjis "$database"
    echo "レースデータベース $database はそのまま使います (足りない表と列を加えました)"
}

default_names() {
    printf '%s\n' localhost 127.0.0.1 "$(hostname)"
    hostname -f 2>/dev/null || true
    hostname -I 2>/dev/null | tr ' ' '\n'
}

is_address() { [[ $1 =~ ^[0-9.]+$ || $1 == *:* ]]; }

subject_alt_names() {
    local name list=()
    for name in "${names[@]}"; do
        if is_address "$name"; then list+=("IP:$name"); else list+=("DNS:$name"); fi
    done
    (IFS=,; echo "${list[*]}")
}

ca=$tls_dir/ca.pem
ca_key=$tls_dir/ca-key.pem
cert=$tls_dir/server-cert.pem
key=$tls_dir/server-key.pem

make_ca() {
    openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 3650 \
        -subj "/CN=tarnikmid race CA $(hostname)" -keyout "$ca_key" -out "$ca" 2>/dev/null ||
        die "CA を作れませんでした (openssl)"
    echo "認証局 (CA) を作りました: $ca"
}

# Signed by our CA, still valid for a month and naming every host workstations use.
certificate_fits() {
    local name check
    [[ -s $cert && -s $key ]] || return 1
    openssl verify -CAfile "$ca" "$cert" >/dev/null 2>&1 || return 1
    openssl x509 -in "$cert" -noout -checkend 2592000 >/dev/null || return 1
    for name in "${names[@]}"; do
        check=-checkhost
        is_address "$name" && check=-checkip
        openssl x509 -in "$cert" -noout "$check" "$name" | grep -q ' does match' || return 1
    done
}

make_server_certificate() {
    [[ -s $ca_key ]] || die "サーバー証明書を作り直す必要がありますが CA の鍵がありません: --ca, --cert, --key で与えてください"
    openssl req -new -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes \
        -subj "/CN=${names[0]}" -keyout "$key" -out "$tls_dir/server.csr" 2>/dev/null &&
        openssl x509 -req -in "$tls_dir/server.csr" -CA "$ca" -CAkey "$ca_key" -days 825 \
            -set_serial "0x$(openssl rand -hex 16)" -out "$cert" -extfile <(
                echo "subjectAltName=$(subject_alt_names)"
                echo "basicConstraints=CA:FALSE"
                echo "keyUsage=digitalSignature,keyEncipherment"
                echo "extendedKeyUsage=serverAuth"
            ) 2>/dev/null || die "サーバー証明書を作れませんでした (openssl)"
    rm -f "$tls_dir/server.csr"
    echo "サーバー証明書を作りました: $cert ($(subject_alt_names))"
}

take_given_certificates() {
    openssl verify -CAfile "$given_ca" "$given_cert" >/dev/null ||
        die "証明書 $given_cert は CA $given_ca で検証できません"
    [[ $(openssl x509 -in "$given_cert" -noout -pubkey) == $(openssl pkey -in "$given_key" -pubout) ]] ||
        die "鍵 $given_key は証明書 $given_cert のものではありません"
    cmp -s "$given_ca" "$ca" || rm -f "$ca_key"
    cp "$given_ca" "$ca"
    cp "$given_cert" "$cert"
    cp "$given_key" "$key"
    echo "与えられた CA と証明書を使います: $ca"
}

# Certificates are public; the keys are readable by the server alone, the CA's by root alone.
protect_keys() {
    chmod 644 "$ca" "$cert"
    chmod 600 "$key"
    [[ -f $ca_key ]] && chmod 600 "$ca_key"
    if ((system)); then
        chgrp mysql "$key"
        chmod 640 "$key"
    fi
}

# Sets tls_changed when the server has to read its certificates anew.
prepare_certificates() {
    mkdir -p "$tls_dir"
    chmod 755 "$tls_dir"
    local before mask
    before=$({ cat "$ca" "$cert" "$key" 2>/dev/null || true; } | md5sum)
    mask=$(umask)
    umask 077
    if [[ -n $given_ca ]]; then
        take_given_certificates
    else
        [[ -s $ca ]] || make_ca
        certificate_fits || make_server_certificate
    fi
    umask "$mask"
    protect_keys
    [[ $(cat "$ca" "$cert" "$key" | md5sum) == "$before" ]] || tls_changed=1
}

write_option_file() {
    local text
    text="# Written by tarnikmid-server: the workstations reach the race over TLS only.
[mariadbd]
ssl_ca=$ca
ssl_cert=$cert
ssl_key=$key
require_secure_transport=ON
tls_version=TLSv1.2,TLSv1.3
bind-address=$bind"
    [[ -f $config && $(cat "$config") == "$text" ]] && return
    mkdir -p "$(dirname "$config")"
    echo "$text" >"$config"
    chmod 644 "$config"
    echo "サーバーの設定を書きました: $config"
    tls_changed=1
}

restart_server() {
    echo "MariaDB サーバーを再起動します"
    if [[ -n $restart ]]; then
        bash -c "$restart"
    elif [[ -d /run/systemd/system ]]; then
        systemctl restart mariadb
    else
        service mariadb restart
    fi || die "MariaDB サーバーを再起動できませんでした"
    for _ in $(seq 1 600); do
        client -e "" 2>/dev/null && return
        sleep 0.1
    done
    die "再起動した MariaDB サーバーに接続できません。サーバーのログを見てください"
}

prepare_tls() {
    tls_changed=0
    prepare_certificates
    write_option_file
    [[ $(answer "SELECT @@have_ssl, @@require_secure_transport") == $'YES\t1' ]] || tls_changed=1
    if ((tls_changed)); then restart_server; fi
    [[ $(answer "SELECT @@have_ssl") == YES ]] ||
        die "TLS が有効になりません (have_ssl $(answer 'SELECT @@have_ssl'))。サーバーのログを見てください"
    [[ $(answer "SELECT @@require_secure_transport") == 1 ]] ||
        die "require_secure_transport が ON になりません: ほかの設定ファイルが上書きしていないか見てください"
    echo "TLS は有効です (暗号化しない接続は拒否されます)"
}

# Anonymous accounts would take the workstations' connections from their hosts, and an
# account without a password over the network is open to anyone on it.
drop_open_accounts() {
    local dropped
    dropped=$(client -N -B <<'SQL'
SELECT GROUP_CONCAT(CONCAT(QUOTE(user), '@', QUOTE(host))) INTO @open FROM mysql.global_priv
    WHERE user = '' OR (host NOT IN ('localhost', '')
                        AND IFNULL(JSON_VALUE(priv, '$.account_locked'), 'false') = 'false'
                        AND IFNULL(JSON_VALUE(priv, '$.authentication_string'), '') = ''
                        AND IFNULL(JSON_VALUE(priv, '$.plugin'), 'mysql_native_password')
                            = 'mysql_native_password');
SET @drop = IF(@open IS NULL, 'DO 0', CONCAT('DROP USER ', @open));
PREPARE dropping FROM @drop;
EXECUTE dropping;
SELECT IFNULL(@open, '');
SQL
    )
    [[ -z $dropped ]] || echo "パスワードのないアカウントを削除しました: $dropped"
}

wants_new_password() {
    local ws
    for ws in "${new_passwords[@]}"; do [[ $ws == "$1" ]] && return 0; done
    return 1
}

# Prints the account's new password, nothing when it keeps the one it has.
prepare_account() {
    local account password="" exists
    account="$(sql_string "$1")@$(sql_string "$account_host")"
    exists=$(answer "SELECT COUNT(*) FROM mysql.user WHERE user = $(sql_string "$1") AND host = $(sql_string "$account_host")")
    if [[ $exists == 0 ]] || wants_new_password "$1"; then
        password=$(random_password 20)
    fi
    # On stdin: a password on a command line is visible to every user of the machine.
    client <<SQL
$(if [[ $exists == 0 ]]; then
    echo "CREATE USER $account IDENTIFIED BY $(sql_string "$password") REQUIRE SSL;"
elif [[ -n $password ]]; then
    echo "ALTER USER $account IDENTIFIED BY $(sql_string "$password") REQUIRE SSL;"
else
    echo "ALTER USER $account REQUIRE SSL;"
fi)
GRANT SELECT, INSERT, UPDATE, DELETE ON \`$database\`.* TO $account;
SQL
    echo "$password"
}

# The first name given, else the one address listened on, else the machine's first address.
printed_host() {
    local addresses
    if ((${#names[@]})); then
        addresses=("${names[@]}")
    elif [[ $bind != 0.0.0.0 && $bind != :: ]]; then
        addresses=("$bind")
    else
        read -r -a addresses <<<"$(hostname -I 2>/dev/null || true)"
    fi
    echo "${addresses[0]:-$(hostname)}"
}

print_workstation() {
    local ws=$1 password=$2 host=$3 port=$4
    echo
    echo "ワークステーション $ws"
    echo "  ホスト: $host"
    echo "  ポート: $port"
    echo "  データベース: $database"
    echo "  アカウント: $ws"
    if [[ -n $password ]]; then
        echo "  パスワード: $password"
    else
        echo "  パスワード: (前回のまま。新しくするには --new-password $ws)"
    fi
    echo "  CA ファイル: $ca"
    echo "  コマンド: tarnikmid-connect server --host $host --port $port --database $database --user $ws --password-file $ws.password --ca $ca"
}

host=$(printed_host)
((${#names[@]})) || mapfile -t names < <(default_names | awk 'NF && !seen[$0]++')
prepare_database
prepare_tls
drop_open_accounts
port=$(answer "SELECT @@port")
for ws in "${workstations[@]}"; do
    password=$(prepare_account "$ws")
    print_workstation "$ws" "$password" "$host" "$port"
done
if ((${#workstations[@]})); then
    echo
    echo "パスワードは一度しか表示されません。CA ファイルを各ワークステーションにコピーしてください。"
fi
